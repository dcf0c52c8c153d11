// Where a database keeps its entries and their texts: entries keep their
// addresses and texts while the database grows past its chunks, item texts
// survive the growth of the item array, in-place edits touch only their own
// entry, and a cleared database starts a new generation.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/key_database.h"
#include "model/key_entry.h"
#include "model/text_arena.h"

TEST(TextArena, CopiesKeepTheirBytesAndAddressesAcrossBlocks) {
    CTextArena arena;
    std::vector<std::string_view> stored;
    std::vector<std::string> originals;
    // Small texts fill several standard blocks; a few large ones get their own.
    for (int i = 0; i < 20000; ++i) {
        originals.push_back(i % 5000 == 0 ? std::string(40000, static_cast<char>('a' + i % 26))
                                          : "text " + std::to_string(i));
        stored.push_back(arena.Store(originals.back()));
        if (i % 7 == 0) {
            void* raw = arena.Allocate(24);
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(raw) % alignof(std::max_align_t), 0u) << i;
        }
    }
    for (size_t i = 0; i < stored.size(); ++i) {
        ASSERT_EQ(stored[i], originals[i]) << i;
        EXPECT_NE(static_cast<const void*>(stored[i].data()), static_cast<const void*>(originals[i].data()));
    }
    EXPECT_TRUE(arena.Store("").empty());
    arena.Clear();
    EXPECT_EQ(arena.Capacity(), 64u * 1024u);
    EXPECT_EQ(arena.Store("again"), "again");
}

TEST(EntryStorage, EntriesTextsAndItemsStayPutWhileTheDatabaseGrows) {
    CKeyDatabase database;
    std::vector<CKeyEntry*> addresses;
    const int count = 3000;  // several chunks of entries
    for (int i = 0; i < count; ++i) {
        CKeyEntry& entry = database.Emplace("Key_" + std::to_string(i), "= " + std::to_string(i), i);
        entry.SetItem(0, std::to_string(i));
        addresses.push_back(&entry);
    }
    // Items set one by one grow their array; the earlier views stay valid.
    CKeyEntry& first = *database.GetAt(0);
    for (size_t i = 1; i < 9; ++i) {
        const std::string_view before = first.m_Ready[0];
        first.SetItem(i, "item" + std::to_string(i));
        EXPECT_EQ(before, first.m_Ready[0]);
    }
    EXPECT_EQ(first.m_Ready.size(), 9u);
    EXPECT_EQ(first.m_Ready[8], "item8");
    EXPECT_EQ(first.m_Ready[9], "");
    first.AddItem();
    EXPECT_EQ(first.m_Ready.size(), 10u);

    ASSERT_EQ(database.GetCount(), count);
    int index = 0;
    for (CKeyEntry* entry : database) {
        ASSERT_EQ(entry, addresses[static_cast<size_t>(index)]);
        EXPECT_EQ(database.IndexOf(entry), index);
        EXPECT_EQ(entry->m_Keyword, "Key_" + std::to_string(index));
        if (index > 0) {
            EXPECT_EQ(entry->m_Ready[0], std::to_string(index));
        }
        EXPECT_EQ(entry->m_Ready.size(), index > 0 ? 4u : 10u);
        ++index;
    }
    EXPECT_EQ(database.GetTail(), addresses.back());
    EXPECT_EQ(database.GetAt(count), nullptr);

    CKeyEntry loose("Key_5", "", 0);
    EXPECT_EQ(database.IndexOf(&loose), -1);
    const unsigned generation = database.Generation();
    database.Clear();
    EXPECT_EQ(database.GetCount(), 0);
    EXPECT_EQ(database.GetTail(), nullptr);
    EXPECT_NE(database.Generation(), generation);
    EXPECT_EQ(database.Emplace("Again", "", 0).m_Keyword, "Again");
}

TEST(EntryStorage, InPlaceEditsChangeOnlyTheirOwnEntry) {
    CKeyDatabase database;
    const std::string value = " \xA7 a \xA7 ";
    CKeyEntry& a = database.Emplace("A", value, 1);
    CKeyEntry& b = database.Emplace("B", value, 2);
    a.SetItem(0, a.m_Value);
    a.ReplaceInValue('\xA7', ' ');
    a.TrimValue();
    EXPECT_EQ(a.m_Value, "a");
    EXPECT_EQ(b.m_Value, value);
    EXPECT_EQ(a.m_Ready[0], value);
    a.SetValue("new");
    a.SetRangeLen("0..3");
    EXPECT_EQ(a.m_Value, "new");
    EXPECT_EQ(a.m_RangeLen, "0..3");
    EXPECT_TRUE(b.m_RangeLen.empty());
    a.SetRangeLen("");
    EXPECT_TRUE(a.m_RangeLen.empty());
}

// Counts, links and the range text are kept in a few bytes; what does not
// fit lies aside and must read back the same, and be given up with its entry.
TEST(EntryStorage, CompactMembersReadBackWhatWasSet) {
    const size_t heldBefore = entry_side::HeldCount();
    {
        CKeyDatabase database;
        for (int i = 0; i < 3000; ++i) database.Emplace("K", "v", i);
        CKeyEntry& first = *database.GetAt(0);
        CKeyEntry& last = *database.GetAt(2999);
        auto own = std::make_unique<CKeyEntry>("Own", "", 0);
        for (const int count : {0, 1, 65534, 65535, 65536, -1, INT32_MAX, 7}) {
            SCOPED_TRACE(count);
            last.m_nValues = count;
            EXPECT_EQ(last.m_nValues, count);
        }
        ++last.m_nValues;
        EXPECT_EQ(last.m_nValues, 8);
        CKeyEntry* const targets[] = {&first, &last, nullptr, own.get(), &first};
        for (CKeyEntry* target : targets) {
            last.m_hParent = target;
            own->m_hParent = target;
            EXPECT_EQ(last.m_hParent, target);
            EXPECT_EQ(own->m_hParent, target);
        }
        last.m_nValues = 70000;
        own->m_nValues = -5;
        last.SetRangeLen("0..3");
        own->SetRangeLen("Len 10");
        EXPECT_EQ(last.m_RangeLen, "0..3");
        EXPECT_EQ(own->m_RangeLen, "Len 10");
        EXPECT_EQ(first.m_RangeLen, "");
        own->m_hParent = &last;  // far: the entry of its own lies elsewhere
        EXPECT_EQ(own->m_hParent->m_RangeLen, "0..3");
        EXPECT_GT(entry_side::HeldCount(), heldBefore);
    }
    EXPECT_EQ(entry_side::HeldCount(), heldBefore);
}

// An entry packs a text's length into 16 bits; longer texts (a value continued
// over thousands of lines) take another way and must read the same.
TEST(EntryStorage, TextsOfAnyLengthReadBackWhole) {
    for (const size_t length : {size_t{0}, size_t{1}, size_t{65534}, size_t{65535}, size_t{65536}, size_t{200000}}) {
        SCOPED_TRACE(length);
        CKeyDatabase database;
        std::string value = "  " + std::string(length, 'v') + "  ";
        if (length > 2) value[length / 2] = '\xA7';
        CKeyEntry& entry = database.Emplace(std::string(length, 'k'), value, 0);
        EXPECT_EQ(entry.m_Keyword, std::string(length, 'k'));
        EXPECT_EQ(entry.m_Value.size(), value.size());
        entry.SetItem(1, std::string_view(entry.m_Value).substr(1));
        entry.ReplaceInValue('\xA7', '-');
        entry.TrimValue();
        std::string trimmed(length, 'v');
        if (length > 2) trimmed[length / 2 - 2] = '-';
        EXPECT_EQ(entry.m_Value, trimmed);
        EXPECT_EQ(entry.m_Ready[1], value.substr(1));
        entry.DropValuePrefix(1);
        EXPECT_EQ(entry.m_Value, std::string_view(trimmed).substr(std::min<size_t>(1, length)));
        entry.DropValuePrefix(length + 5);
        EXPECT_TRUE(entry.m_Value.empty());
    }
}

// A database built from one text views it: an edit of an entry in place must
// not reach the text, which the checks still read line by line.
TEST(EntryStorage, EditsInPlaceLeaveTheViewedTextAlone) {
    CKeyDatabase database;
    const std::string text = "Key = a_b_c";
    auto held = std::make_shared<const std::string>(text);
    database.HoldText(held);
    const std::string_view keyword = std::string_view(*held).substr(0, 3);
    const std::string_view value = std::string_view(*held).substr(6);
    ASSERT_TRUE(database.IsInHeldText(value));
    CKeyEntry& entry = database.Emplace(keyword, value, 0, {true, true, false});
    EXPECT_EQ(static_cast<const void*>(entry.m_Value.data()), static_cast<const void*>(value.data()));
    entry.SetItem(0, std::string_view(entry.m_Value).substr(1, 1));
    entry.ReplaceInValue('_', ' ');
    EXPECT_EQ(entry.m_Value, "a b c");
    EXPECT_EQ(entry.m_Ready[0], "_");
    EXPECT_EQ(*held, text);
    held.reset();
    EXPECT_EQ(entry.m_Keyword, "Key");
    EXPECT_FALSE(database.IsInHeldText("elsewhere"));
}

// An entry finds its database's arena and its position from its address:
// entries of databases built side by side must write into their own, and a
// cleared database must not take the texts of another with it.
TEST(EntryStorage, EntriesOfSeveralDatabasesKeepToTheirOwn) {
    CKeyDatabase a;
    CKeyDatabase b;
    const int count = 2500;  // several chunks and slabs each
    for (int i = 0; i < count; ++i) {
        a.Emplace("A", "", i).SetValue("a" + std::to_string(i));
        b.Emplace("B", "", i).SetValue("b" + std::to_string(i));
    }
    CKeyEntry loose("L", "", 0);
    loose.SetItem(2, "own");
    for (int i = 0; i < count; ++i) {
        ASSERT_EQ(a.GetAt(i)->Index(), i);
        ASSERT_EQ(b.IndexOf(b.GetAt(i)), i);
        EXPECT_EQ(a.IndexOf(b.GetAt(i)), -1);
    }
    a.Clear();
    for (int i = 0; i < count; ++i) ASSERT_EQ(b.GetAt(i)->m_Value, "b" + std::to_string(i));
    EXPECT_EQ(loose.Index(), -1);
    EXPECT_EQ(loose.m_Ready[2], "own");
}
