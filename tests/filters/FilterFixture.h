#pragma once
// The effect service with the whole built-in catalogue, filters included.
#include "effects/BuiltinFixture.h"
#include "filters/FilterCatalog.h"

class FilterFixture : public BuiltinFixture {
protected:
    Effect::EffectService::Catalog& catalogue() override { return whole_; }

private:
    Effect::FilterCatalog whole_;
};
