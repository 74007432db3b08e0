#pragma once
// The model invariants the tests check after every operation: slots in
// order, objects sorted and not overlapping, sections ordered with one key
// per boundary, chains of a valid shape, groups consistent. The text lists
// every broken rule; empty means the model is sound.
#include <string>

namespace Edit {
class Object;
class Project;
class Scene;
}  // namespace Edit

namespace EditTest {

std::string checkObject(const Edit::Object& object);
// The scene as an edit scope leaves it (after Edit::Scene::update).
std::string checkScene(const Edit::Scene& scene);
std::string checkProject(const Edit::Project& project);

}  // namespace EditTest
