#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One file to move: its folder (display name, "Documents" for the root) and its name.
struct FileMove
{
    QString folder;
    QString fileName;
};

// The screen that hands the move picker its selection (the folder manager or the file
// manager) and is refreshed by it after a move.
class MoveCommander
{
public:
    virtual ~MoveCommander() = default;
    // The files the picker's selection stands for, in selection order.
    virtual QList<FileMove> filesToMove(const QStringList &selectedPaths) const = 0;
    // The move is done: the selection is emptied, the list read again from the disk and the
    // counters brought up to date.
    virtual void filesMoved() = 0;
};
