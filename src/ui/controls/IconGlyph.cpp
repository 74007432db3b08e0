#include "ui/controls/IconGlyph.h"

namespace Control {

namespace {

constexpr float kTriangleUp[] = {0.2f, 0.7f, 0.8f, 0.7f, 0.5f, 0.25f};
constexpr float kTriangleDown[] = {0.2f, 0.3f, 0.8f, 0.3f, 0.5f, 0.75f};
constexpr float kTriangleLeft[] = {0.7f, 0.2f, 0.7f, 0.8f, 0.25f, 0.5f};
constexpr float kTriangleRight[] = {0.3f, 0.2f, 0.3f, 0.8f, 0.75f, 0.5f};
constexpr float kStepBackTriangle[] = {0.6f, 0.2f, 0.6f, 0.8f, 0.2f, 0.5f};
constexpr float kStepBackBar[] = {0.7f, 0.2f, 0.8f, 0.8f};
constexpr float kStepForwardTriangle[] = {0.4f, 0.2f, 0.4f, 0.8f, 0.8f, 0.5f};
constexpr float kStepForwardBar[] = {0.2f, 0.2f, 0.3f, 0.8f};
constexpr float kSkipStartTriangle[] = {0.25f, 0.5f, 0.55f, 0.2f, 0.55f, 0.8f};
constexpr float kSkipEndTriangle[] = {0.75f, 0.5f, 0.45f, 0.2f, 0.45f, 0.8f};

constexpr IconLine kSkipStart[] = {{0.5f, 0.5f, 0.82f, 0.5f, 0.1f}, {0.22f, 0.22f, 0.22f, 0.78f, 0.1f}};
constexpr IconLine kSkipEnd[] = {{0.18f, 0.5f, 0.5f, 0.5f, 0.1f}, {0.78f, 0.22f, 0.78f, 0.78f, 0.1f}};
constexpr IconLine kFastBack[] = {{0.5f, 0.25f, 0.25f, 0.5f, 0.1f},
                                  {0.25f, 0.5f, 0.5f, 0.75f, 0.1f},
                                  {0.75f, 0.25f, 0.5f, 0.5f, 0.1f},
                                  {0.5f, 0.5f, 0.75f, 0.75f, 0.1f}};
constexpr IconLine kFastForward[] = {{0.25f, 0.25f, 0.5f, 0.5f, 0.1f},
                                     {0.5f, 0.5f, 0.25f, 0.75f, 0.1f},
                                     {0.5f, 0.25f, 0.75f, 0.5f, 0.1f},
                                     {0.75f, 0.5f, 0.5f, 0.75f, 0.1f}};
constexpr IconLine kPause[] = {{0.35f, 0.28f, 0.35f, 0.72f, 0.1f}, {0.65f, 0.28f, 0.65f, 0.72f, 0.1f}};
constexpr IconLine kPlus[] = {{0.5f, 0.28f, 0.5f, 0.72f, 0.1f}, {0.28f, 0.5f, 0.72f, 0.5f, 0.1f}};
constexpr IconLine kArrowLeft[] = {
    {0.25f, 0.5f, 0.75f, 0.5f, 0.1f}, {0.25f, 0.5f, 0.45f, 0.3f, 0.1f}, {0.25f, 0.5f, 0.45f, 0.7f, 0.1f}};
constexpr IconLine kArrowRight[] = {
    {0.25f, 0.5f, 0.75f, 0.5f, 0.1f}, {0.75f, 0.5f, 0.55f, 0.3f, 0.1f}, {0.75f, 0.5f, 0.55f, 0.7f, 0.1f}};
constexpr IconLine kArrowUp[] = {
    {0.5f, 0.25f, 0.5f, 0.75f, 0.1f}, {0.5f, 0.25f, 0.3f, 0.45f, 0.1f}, {0.5f, 0.25f, 0.7f, 0.45f, 0.1f}};
constexpr IconLine kFolder[] = {{0.18f, 0.28f, 0.4f, 0.3f, 0.1f},   {0.4f, 0.28f, 0.5f, 0.38f, 0.1f},
                                {0.5f, 0.38f, 0.82f, 0.38f, 0.1f},  {0.82f, 0.38f, 0.82f, 0.72f, 0.1f},
                                {0.18f, 0.72f, 0.82f, 0.72f, 0.1f}, {0.18f, 0.28f, 0.18f, 0.72f, 0.1f}};
constexpr IconLine kList[] = {{0.4f, 0.2f, 0.8f, 0.2f, 0.1f},   {0.4f, 0.5f, 0.8f, 0.5f, 0.1f},
                              {0.4f, 0.8f, 0.8f, 0.8f, 0.1f},   {0.2f, 0.2f, 0.2f, 0.2f, 0.175f},
                              {0.2f, 0.5f, 0.2f, 0.5f, 0.175f}, {0.2f, 0.8f, 0.2f, 0.8f, 0.175f}};
constexpr IconLine kCross[] = {{0.3f, 0.3f, 0.7f, 0.7f, 0.15f}, {0.3f, 0.7f, 0.7f, 0.3f, 0.15f}};
constexpr IconLine kSliderMinus[] = {{0.15f, 0.5f, 0.7f, 0.5f, 0.15f}};
constexpr IconLine kSliderPlus[] = {{0.6f, 0.32f, 0.6f, 0.68f, 0.15f}, {0.28f, 0.5f, 0.92f, 0.5f, 0.15f}};

}  // namespace

const IconGlyph GlyphTriangleUp{kTriangleUp, nullptr, {}};
const IconGlyph GlyphTriangleDown{kTriangleDown, nullptr, {}};
const IconGlyph GlyphTriangleLeft{kTriangleLeft, nullptr, {}};
const IconGlyph GlyphTriangleRight{kTriangleRight, nullptr, {}};
const IconGlyph GlyphStepBack{kStepBackTriangle, kStepBackBar, {}};
const IconGlyph GlyphStepForward{kStepForwardTriangle, kStepForwardBar, {}};
const IconGlyph GlyphSkipStart{kSkipStartTriangle, nullptr, kSkipStart};
const IconGlyph GlyphSkipEnd{kSkipEndTriangle, nullptr, kSkipEnd};
const IconGlyph GlyphFastBack{nullptr, nullptr, kFastBack};
const IconGlyph GlyphFastForward{nullptr, nullptr, kFastForward};
const IconGlyph GlyphPause{nullptr, nullptr, kPause};
const IconGlyph GlyphPlus{nullptr, nullptr, kPlus};
const IconGlyph GlyphArrowLeft{nullptr, nullptr, kArrowLeft};
const IconGlyph GlyphArrowRight{nullptr, nullptr, kArrowRight};
const IconGlyph GlyphArrowUp{nullptr, nullptr, kArrowUp};
const IconGlyph GlyphFolder{nullptr, nullptr, kFolder};
const IconGlyph GlyphList{nullptr, nullptr, kList};
const IconGlyph GlyphCross{nullptr, nullptr, kCross};
const IconGlyph GlyphSliderMinus{nullptr, nullptr, kSliderMinus};
const IconGlyph GlyphSliderPlus{nullptr, nullptr, kSliderPlus};

}  // namespace Control
