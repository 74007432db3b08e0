// Every built-in effect opens as a block of the settings panel with one row
// for each item a row is made for, draws, and reads its values again, without
// an error.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "SettingFixture.h"
#include "core/ErrorPresenter.h"
#include "core/TextConvert.h"
#include "edit/ProjectQueries.h"
#include "effect/EffectDefine.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectService.h"
#include "effects/ServiceCatalog.h"
#include "filters/FilterCatalog.h"
#include "support/TestModelQueries.h"
#include "ui/settings/EffectItemBaseControl.h"

namespace {

// Whether the panel shows a row for the item: every kind has one, but the
// hidden integer and a check the effect hides.
bool hasRow(Effect::EffectItem& item) {
    if (item.type == Effect::EffectItem::kHiddenInteger) return false;
    if (auto* check = item.to<Effect::EffectItemCheck>()) return check->shown != 0;
    return true;
}

class CatalogueRows : public SettingWindow {
protected:
    void SetUp() override {
        SettingWindow::SetUp();
        if (IsSkipped()) return;
        errors.clear();
        previousPresenter_ = System::setErrorPresenter(
            [](const std::wstring& text) { errors.push_back(System::wideToUtf8(text)); });
        // The fonts and figures the program reads from the system at start-up.
        previousFonts_ = Edit::ProjectQueries::setFontListReader([](auto& names, auto& defaultName) {
            names = testModel().fonts;
            defaultName = testModel().defaultFont;
        });
        previousFigures_ = Edit::ProjectQueries::setFigureListReader([](auto& names) { names = testModel().figures; });
        previousCatalog_ = Effect::EffectService::setCatalog(&catalogue_);
        service_ = std::make_unique<Effect::EffectService>();
        model_ = std::make_unique<Effect::ServiceCatalog>(*service_);
    }
    void TearDown() override {
        blocks.clear();
        // The effects hold device objects: they go before the device.
        state.object.reset();
        scene.reset();
        model_.reset();
        service_.reset();
        Effect::EffectService::setCatalog(previousCatalog_);
        Edit::ProjectQueries::setFontListReader(previousFonts_);
        Edit::ProjectQueries::setFigureListReader(previousFigures_);
        System::setErrorPresenter(previousPresenter_);
        SettingWindow::TearDown();
    }

    static inline std::vector<std::string> errors;
    std::unique_ptr<Effect::EffectService> service_;

private:
    Effect::FilterCatalog catalogue_;
    Effect::EffectService::Catalog* previousCatalog_ = nullptr;
    Edit::ProjectQueries::FontListReader previousFonts_;
    Edit::ProjectQueries::FigureListReader previousFigures_;
    std::unique_ptr<Effect::ServiceCatalog> model_;
    System::ErrorPresenter previousPresenter_ = nullptr;
};

TEST_F(CatalogueRows, EveryBuiltInEffectShowsARowForEachOfItsItems) {
    std::vector<std::wstring> names;
    for (const auto& [name, define] : service_->effects()) names.push_back(name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names.size(), 76u) << "the built-in catalogue";
    area = {0, 0, 400, 4000};
    int32_t layer = 0, rows = 0;
    for (const std::wstring& name : names) {
        SCOPED_TRACE(System::wideToUtf8(name));
        const std::shared_ptr<Effect::EffectBase> effect = service_->getEffect(name);
        ASSERT_NE(effect, nullptr);
        auto object = scene->createObject(layer++, 0, 99);
        object->effects.push_back(effect);
        scene->update();
        blocks.clear();
        Component::EffectSetting* block = nullptr;
        try {
            block = &showBlock(object);
        } catch (const std::exception& e) {
            FAIL() << "the block: " << e.what();
        }
        size_t expected = 0;
        for (Effect::EffectItem* item : effect->items) {
            // Numbers get their rows from the number row kind, not counted here.
            if (item->type == Effect::EffectItem::kNumber) continue;
            const bool shown = hasRow(*item);
            expected += shown ? 1 : 0;
            Component::EffectItemBaseControl* row = block->findItemControl(item);
            EXPECT_EQ(row != nullptr, shown) << System::wideToUtf8(item->name) << " type " << int(item->type);
            if (row == nullptr) continue;
            EXPECT_EQ(row->getEffectItem(), item);
            EXPECT_NO_THROW(row->updateValue()) << System::wideToUtf8(item->name);
        }
        const size_t made = static_cast<size_t>(std::count_if(block->rows.begin(), block->rows.end(), [](const auto& r) {
            return r->getEffectItem() != nullptr && r->getEffectItem()->type != Effect::EffectItem::kNumber;
        }));
        EXPECT_EQ(made, expected) << "one row an item";
        rows += static_cast<int32_t>(made);
        block->invalidate();
        for (const auto& row : block->rows) row->invalidate();
        EXPECT_TRUE(TestSupport::RouterDriver::drawQueued());
    }
    EXPECT_GT(rows, 100) << "the catalogue's items other than numbers";
    EXPECT_TRUE(errors.empty()) << errors.front();
}

}  // namespace
