#pragma once

#include "IndexPath.h"

class TableView;

// What a table list tells its screen, and the row heights it asks for.
class TableViewDelegate
{
public:
    virtual ~TableViewDelegate() = default;
    // -1: the list's own row height.
    virtual int heightForRowAtIndexPath(TableView *, const IndexPath &) { return -1; }
    virtual void didSelectRowAtIndexPath(TableView *table, const IndexPath &indexPath) = 0;
};
