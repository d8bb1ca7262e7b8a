#pragma once

// The few calls the shell makes into particular screens, checked by the compiler.

// The settings screen reads its switches and rows again.
class SettingsReload
{
public:
    virtual ~SettingsReload() = default;
    virtual void reloadSettings() = 0;
};

// The folder list opens straight into the import folder on its next appearance.
class FolderListJump
{
public:
    virtual ~FolderListJump() = default;
    virtual void setGoSublistFlg(bool on) = 0;
};
