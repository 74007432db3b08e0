#pragma once
#include "ui/menus/MenuBase.h"

namespace Menu {

// The "その他" popup: the loaded plug-ins, the registered scripts and the
// version box. None of its entries can be given a key.
class EtcMenu final : public MenuBase {
public:
    using MenuBase::MenuBase;
    void createMenu() override;

    static void showPluginInformation();
    static void showScriptInformation();
    static void showVersion();
};

}  // namespace Menu
