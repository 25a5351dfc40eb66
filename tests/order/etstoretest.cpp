#include "etstore.h"
#include "etstorelist.h"

#include <gtest/gtest.h>

TEST(ETStoreTest, LabelAndRichText)
{
    const ETStore store(7, QStringLiteral("Foto Meier"), QStringLiteral("Hauptstr. 1"),
                        QStringLiteral("12345"), QStringLiteral("Musterstadt"));
    EXPECT_EQ(store.label(), QStringLiteral("12345 Musterstadt, Foto Meier, Hauptstr. 1"));
    EXPECT_EQ(store.richText(), QStringLiteral("Foto Meier<br>Hauptstr. 1<br>12345 Musterstadt<br>"));
    EXPECT_TRUE(store.hasLabel(store.label()));

    const ETStore empty(0, QString(), QString(), QString(), QString());
    EXPECT_EQ(empty.label(), QStringLiteral(" , , "));
    EXPECT_EQ(empty.richText(), QStringLiteral("<br><br> <br>"));
}

TEST(ETStoreTest, RichTextEscapesTheStoreTexts)
{
    const ETStore store(1, QStringLiteral("A&B <Foto>"), QStringLiteral("\"X\""), QStringLiteral("1"),
                        QStringLiteral("C"));
    EXPECT_EQ(store.richText(), QStringLiteral("A&amp;B &lt;Foto&gt;<br>&quot;X&quot;<br>1 C<br>"));
    EXPECT_EQ(store.label(), QStringLiteral("1 C, A&B <Foto>, \"X\""));
}

TEST(ETStoreTest, ListLookups)
{
    ETStoreList list;
    EXPECT_TRUE(list.names().isEmpty());
    list.append(
        new ETStore(1, QStringLiteral("N"), QStringLiteral("S"), QStringLiteral("P"), QStringLiteral("T")));
    list.append(
        new ETStore(2, QStringLiteral("N"), QStringLiteral("S"), QStringLiteral("P"), QStringLiteral("T")));
    list.append(
        new ETStore(3, QStringLiteral("M"), QStringLiteral("S"), QStringLiteral("P"), QStringLiteral("T")));
    EXPECT_EQ(list.names(), QStringList({QStringLiteral("P T, N, S"), QStringLiteral("P T, N, S"),
                                         QStringLiteral("P T, M, S")}));
    EXPECT_EQ(list.names(-1), list.names()) << "-1: every store";
    EXPECT_EQ(list.names(1), QStringList(QStringLiteral("P T, N, S")));
    EXPECT_TRUE(list.names(0).isEmpty());
    EXPECT_EQ(list.names(5).size(), 3);
    EXPECT_EQ(list.idByLabel(QStringLiteral("P T, N, S")), 1) << "equal labels find the first";
    EXPECT_EQ(list.storeByLabel(QStringLiteral("P T, M, S"))->locId(), 3);
    EXPECT_EQ(list.idByLabel(QStringLiteral("gone")), 0);
    EXPECT_EQ(list.storeByLabel(QStringLiteral("gone")), nullptr);
    list.clear();
    EXPECT_EQ(list.idByLabel(QStringLiteral("P T, M, S")), 0);
    EXPECT_EQ(ETStore::storeList(), ETStore::storeList());
}
