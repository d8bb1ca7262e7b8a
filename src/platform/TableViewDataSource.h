#pragma once

#include "IndexPath.h"

#include <QStringList>

class TableView;
class TableViewCell;

// Where a table list gets its contents.
class TableViewDataSource
{
public:
    virtual ~TableViewDataSource() = default;
    virtual int numberOfSectionsInTableView(TableView *) { return 1; }
    virtual int numberOfRowsInSection(TableView *table, int section) = 0;
    // A filled cell; take one from table->dequeueReusableCellWithIdentifier() when there is one.
    virtual TableViewCell *cellForRowAtIndexPath(TableView *table, const IndexPath &indexPath) = 0;
    virtual QString titleForHeaderInSection(TableView *, int) { return {}; }
    virtual QString titleForFooterInSection(TableView *, int) { return {}; }
    // The letters of the section index on the right; empty: no index.
    virtual QStringList sectionIndexTitlesForTableView(TableView *) { return {}; }
    virtual int sectionForSectionIndexTitle(TableView *, const QString &, int index) { return index; }
};
