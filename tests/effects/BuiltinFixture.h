#pragma once
// The effect service with the built-in catalogue on a lavapipe device, the
// service installed as the model's catalogue, in fresh folders.
#include <dlfcn.h>

#include <memory>
#include <string>
#include <vector>

#include "core/ErrorPresenter.h"
#include "core/ServiceHolder.h"
#include "core/TextConvert.h"
#include "effect/EffectService.h"
#include "effects/BuiltinCatalog.h"
#include "effects/ServiceCatalog.h"
#include "media/gpu/Direct3DService.h"
#include "support/LogCapture.h"
#include "support/SuiteGpu.h"
#include "support/TestFolders.h"

class BuiltinFixture : public TestFolders {
protected:
    static void SetUpTestSuite() { SuiteGpu::start(SuiteGpu::kDeviceOnly); }
    static void TearDownTestSuite() { SuiteGpu::stop(); }
    void SetUp() override {
        TestFolders::SetUp();
        errors.clear();
        previousPresenter_ = System::setErrorPresenter(
            [](const std::wstring& text) { errors.push_back(System::wideToUtf8(text)); });
        Effect::EffectService::setCatalog(&catalogue());
        service = std::make_unique<Effect::EffectService>();
        catalog_ = std::make_unique<Effect::ServiceCatalog>(*service);
    }
    void TearDown() override {
        catalog_.reset();
        service.reset();
        Effect::EffectService::setCatalog(nullptr);
        System::setErrorPresenter(previousPresenter_);
        TestFolders::TearDown();
    }

    // The catalogue the service registers: the sources, outputs and controls.
    virtual Effect::EffectService::Catalog& catalogue() { return builtins_; }

    LogCapture log;
    // The texts of failed registrations.
    static inline std::vector<std::string> errors;
    std::unique_ptr<Effect::EffectService> service;

private:
    Effect::BuiltinCatalog builtins_;
    std::unique_ptr<Effect::ServiceCatalog> catalog_;
    System::ErrorPresenter previousPresenter_ = nullptr;
};
