#pragma once
// The project model and its editing: the project with its scenes, layer
// slots, objects and groups, the effect chain of an object with its placement
// rules, and the section operations (midpoints, split, join). Every change
// runs inside an edit scope; the model itself takes no locks.
#include "edit/DisplayCamera.h"
#include "edit/EffectCatalog.h"
#include "edit/EffectManager.h"
#include "edit/FrameZoom.h"
#include "edit/Group.h"
#include "edit/GroupNumberMap.h"
#include "edit/Layer.h"
#include "edit/Object.h"
#include "edit/Project.h"
#include "edit/Scene.h"
#include "edit/SceneLayer.h"
#include "edit/UndoRecord.h"
