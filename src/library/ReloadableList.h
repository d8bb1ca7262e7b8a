#pragma once

// A list view that can be asked to read its rows again.
class ReloadableList
{
public:
    virtual ~ReloadableList() = default;
    virtual void reloadData() = 0;
};
