#include "library/FolderNameRule.h"

#include <QList>

#include <gtest/gtest.h>

namespace {

using Refusal = FolderNameRule::Refusal;

TEST(FolderNameRule, OnlyNamesThatMakeOneVisibleFolderPass)
{
    struct Case
    {
        QString name;
        Refusal expected;
    };
    const QList<Case> cases = {
        {QString(), Refusal::Empty},
        // The root's own names and the names the listings hide.
        {"Documents", Refusal::Invalid},
        {"documents", Refusal::Invalid},
        {"___Uploader", Refusal::Invalid},
        {"___anything", Refusal::Invalid},
        {"CIC", Refusal::Invalid},
        // Names the file system takes as a path, or hides.
        {"/", Refusal::Invalid},
        {"Rock/Live", Refusal::Invalid},
        {"../up", Refusal::Invalid},
        {".", Refusal::Invalid},
        {"..", Refusal::Invalid},
        {".config", Refusal::Invalid},
        // Control characters anywhere, and the line breaks of one-line rows.
        {"a\tb", Refusal::Invalid},
        {"end\n", Refusal::Invalid},
        {QStringLiteral("x") + QChar(0), Refusal::Invalid},
        {QStringLiteral("x") + QChar(0x1b), Refusal::Invalid},
        {QStringLiteral("x") + QChar(0x7f), Refusal::Invalid},
        {QStringLiteral("x") + QChar(0x9c), Refusal::Invalid},
        {QStringLiteral("x") + QChar(0x2028), Refusal::Invalid},
        // Everything else is a name.
        {"DOCUMENTS", Refusal::None},
        {"Documents2", Refusal::None},
        {"cic", Refusal::None},
        {"__two", Refusal::None},
        {"My Songs", Refusal::None},
        {"a.b", Refusal::None},
        {"...x", Refusal::Invalid},
        {"x..", Refusal::None},
        {QStringLiteral("가요 모음"), Refusal::None},
        {QStringLiteral("J-Pop \u266a"), Refusal::None},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FolderNameRule::check(c.name), c.expected) << c.name.toStdString();
}

} // namespace
