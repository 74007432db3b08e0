#pragma once
#include <string>

#include "core/TextConvert.h"
#include "effect/EffectBase.h"
#include "effect/EffectItem.h"
#include "effect/EffectItemGroup.h"
#include "effect/EffectItemNumber.h"

// An effect's items as two texts the catalogue tests compare: the names of
// the items that notify on change ("a b "), and each number group as its
// first member's name and its members ("X:X,Y,Z ").
struct ItemTraits {
    std::string notify, groups;

    explicit ItemTraits(const Effect::EffectBase& effect) {
        for (Effect::EffectItem* item : effect.items) {
            if (item->notify) notify += System::wideToUtf8(item->name) + " ";
            auto* number = item->to<Effect::EffectItemNumber>();
            if (number && number->group && number->group->members.front() == number) {
                groups += System::wideToUtf8(number->name) + ":";
                for (size_t i = 0; i < number->group->members.size(); ++i)
                    groups += (i ? "," : "") + System::wideToUtf8(number->group->members[i]->name);
                groups += " ";
            }
        }
    }
};
