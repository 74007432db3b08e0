#pragma once
// The effect service of the whole catalogue, filters included, built once for
// a test suite rather than once per test: registering every effect and making
// the class resources is the slow part, and the tests only make instances of
// the prototypes. The service is the model's catalogue for the suite; each
// test still has fresh folders and its own log.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/ErrorPresenter.h"
#include "core/FileName.h"
#include "core/TextConvert.h"
#include "effect/EffectService.h"
#include "effects/ServiceCatalog.h"
#include "filters/FilterCatalog.h"
#include "support/LogCapture.h"
#include "support/SuiteGpu.h"
#include "support/TestFolders.h"

class FilterSuiteFixture : public TestFolders {
protected:
    static void SetUpTestSuite() {
        SuiteGpu::start(SuiteGpu::kDeviceOnly);
        // The service reads the installation folder while it registers: an
        // empty one of its own, as each test's folders are.
        char pattern[] = "/tmp/velmo-suite-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        suiteRoot_ = pattern;
        std::filesystem::create_directories(suiteRoot_ / "install");
        System::FileName::resetVariableList(System::utf8ToWide((suiteRoot_ / "install" / "velmo2").string()));
        errors.clear();
        previousPresenter_ = System::setErrorPresenter(
            [](const std::wstring& text) { errors.push_back(System::wideToUtf8(text)); });
        catalogue_ = std::make_unique<Effect::FilterCatalog>();
        Effect::EffectService::setCatalog(catalogue_.get());
        service_ = std::make_unique<Effect::EffectService>();
        model_ = std::make_unique<Effect::ServiceCatalog>(*service_);
        System::FileName::resetVariableList();
    }
    static void TearDownTestSuite() {
        model_.reset();
        service_.reset();
        Effect::EffectService::setCatalog(nullptr);
        catalogue_.reset();
        System::setErrorPresenter(previousPresenter_);
        previousPresenter_ = nullptr;
        if (!suiteRoot_.empty()) std::filesystem::remove_all(suiteRoot_);
        suiteRoot_.clear();
        SuiteGpu::stop();
    }
    void SetUp() override {
        TestFolders::SetUp();
        ASSERT_NE(service_, nullptr) << "the suite's effect service was not built";
        service = service_.get();
    }

    LogCapture log;
    // The texts of failed registrations.
    static inline std::vector<std::string> errors;
    Effect::EffectService* service = nullptr;

private:
    static inline std::filesystem::path suiteRoot_;
    static inline std::unique_ptr<Effect::FilterCatalog> catalogue_;
    static inline std::unique_ptr<Effect::EffectService> service_;
    static inline std::unique_ptr<Effect::ServiceCatalog> model_;
    static inline System::ErrorPresenter previousPresenter_ = nullptr;
};
