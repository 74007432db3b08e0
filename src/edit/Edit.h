#pragma once
// The project model and its editing: the project with its scenes, layer
// slots, objects and groups, the effect chain of an object with its placement
// rules, the section operations (midpoints, split, join), the edit and read
// scopes over the project lock, the undo service with its items, and the
// project file and the import of the earlier generation's object exchange
// file, the frame-rate presets, the recent-project and backup file lists.
// Every change runs inside an edit scope; the model itself
// takes no locks.
#include "edit/BackupHistory.h"
#include "edit/EditDialogs.h"
#include "edit/EditService.h"
#include "edit/DisplayCamera.h"
#include "edit/EffectCatalog.h"
#include "edit/EffectManager.h"
#include "edit/EffectUndoUpdate.h"
#include "edit/FileHistory.h"
#include "edit/KeyHoldRouter.h"
#include "edit/FrameRate.h"
#include "edit/FrameZoom.h"
#include "edit/Group.h"
#include "edit/GroupNumberMap.h"
#include "edit/Layer.h"
#include "edit/LayerObjectManager.h"
#include "edit/LayerUndoStates.h"
#include "edit/Object.h"
#include "edit/ObjectUndoStates.h"
#include "edit/PopupMenu.h"
#include "edit/Project.h"
#include "edit/ProjectConvert.h"
#include "edit/ProjectHistory.h"
#include "edit/Scene.h"
#include "edit/SceneCommands.h"
#include "edit/SceneLayer.h"
#include "edit/ReadSection.h"
#include "edit/UndoHistory.h"
#include "edit/UndoItem.h"
#include "edit/UndoItemTemplate.h"
#include "edit/UndoRecord.h"
#include "edit/UndoService.h"
#include "edit/UpdateSection.h"
