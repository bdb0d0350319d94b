#include "zel/platform/stringlist.h"

#include <gtest/gtest.h>

#include "zel/platform/stream.h"
#include "zel/testutil/tempdir.h"

namespace zel {
namespace {

std::vector<String> Items(const TStringList& l) { return {l.begin(), l.end()}; }

TEST(StringList, EditingFiresOnChangeOncePerCall) {
  TStringList list;
  int changes = 0;
  TObject* sender = nullptr;
  list.SetOnChange([&](TObject* s) {
    ++changes;
    sender = s;
  });
  EXPECT_EQ(list.Add(u"b"), 0);
  EXPECT_EQ(list.Add(u"d"), 1);
  list.Insert(1, u"c");
  list.Insert(0, u"a");
  list.Insert(4, u"e");
  EXPECT_EQ(Items(list), (std::vector<String>{u"a", u"b", u"c", u"d", u"e"}));
  list.Delete(4);
  list.SetStrings(0, u"A");
  list.Exchange(0, 3);
  EXPECT_EQ(Items(list), (std::vector<String>{u"d", u"b", u"c", u"A"}));
  EXPECT_EQ(list[3], u"A");
  EXPECT_EQ(changes, 8);
  EXPECT_EQ(sender, &list);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(changes, 9);
  list.Clear();  // nothing to clear, nothing changed
  EXPECT_EQ(changes, 9);

  list.BeginUpdate();
  list.Add(u"x");
  list.BeginUpdate();
  list.Add(u"y");
  list.EndUpdate();
  EXPECT_EQ(changes, 9);
  list.EndUpdate();
  EXPECT_EQ(changes, 10);
}

TEST(StringList, IndexOutOfBoundsRaises) {
  TStringList list;
  list.Add(u"a");
  EXPECT_THROW(list.Strings(1), EStringListError);
  EXPECT_THROW(list[-1], EStringListError);
  EXPECT_THROW(list.Insert(2, u"x"), EStringListError);
  EXPECT_THROW(list.Delete(1), EStringListError);
  EXPECT_THROW(list.SetStrings(5, u"x"), EStringListError);
  try {
    list.Delete(7);
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), u"List index out of bounds (7)");
  }
  EXPECT_EQ(list.Count(), 1);
}

TEST(StringList, IndexOfFoldsCaseUnlessCaseSensitive) {
  TStringList list;
  list.Add(u"Grüße");
  list.Add(u"ÄPFEL");
  EXPECT_EQ(list.IndexOf(u"äpfel"), 1);
  EXPECT_EQ(list.IndexOf(u"GRÜSSE"), -1);  // one character never becomes two
  EXPECT_EQ(list.IndexOf(u"grÜße"), 0);
  list.SetCaseSensitive(true);
  EXPECT_EQ(list.IndexOf(u"äpfel"), -1);
  EXPECT_EQ(list.IndexOf(u"ÄPFEL"), 1);
}

TEST(StringList, SortIsOrdinal) {
  TStringList list;
  list.SetText(u"b\r\na\r\nB\r\nä\r\n\r\nA");
  list.Sort();
  EXPECT_EQ(Items(list), (std::vector<String>{u"", u"A", u"B", u"a", u"b", u"ä"}));
}

TEST(StringList, TextSplitsEveryLineEndAndRoundTrips) {
  struct Case { const char16_t* text; std::vector<String> items; };
  const Case cases[] = {
      {u"", {}},
      {u"a", {u"a"}},
      {u"a\r\n", {u"a"}},
      {u"a\r\nb\nc\rd", {u"a", u"b", u"c", u"d"}},
      {u"\r\n", {u""}},
      {u"a\r\r\nb\n\n", {u"a", u"", u"b", u""}},
  };
  TStringList list;
  for (const Case& c : cases) {
    list.SetText(c.text);
    EXPECT_EQ(Items(list), c.items) << ToUtf8(c.text);
    TStringList again;
    again.SetText(list.Text());
    EXPECT_EQ(Items(again), c.items);
  }
  list.SetText(u"x\ny");
  EXPECT_EQ(list.Text(), u"x\r\ny\r\n");
}

TEST(StringList, FilesHoldUtf8) {
  testutil::TempDir dir("slist");
  TStringList list;
  list.Add(u"Grüße");
  list.Add(u"\U0001F600");
  list.SaveToFile(dir.Path("out.txt"));
  EXPECT_EQ(dir.Bytes("out.txt"), "Gr\xC3\xBC\xC3\x9F" "e\r\n\xF0\x9F\x98\x80\r\n");
  dir.Put("in.txt", "\xEF\xBB\xBF" "caf\xC3\xA9\nold caf\xE9");
  TStringList back;
  back.LoadFromFile(dir.Path("in.txt"));
  EXPECT_EQ(Items(back), (std::vector<String>{u"café", u"old café"}));
  EXPECT_THROW(back.LoadFromFile(dir.Path("missing.txt")), EFOpenError);

  TMemoryStream m;
  list.SaveToStream(m);
  m.SetPosition(0);
  TStringList from_stream;
  from_stream.LoadFromStream(m);
  EXPECT_EQ(Items(from_stream), Items(list));
}

TEST(StringList, AssignCopiesFromStringListsOnly) {
  TStringList a, b;
  a.Add(u"one");
  a.Add(u"two");
  b.Add(u"old");
  int changes = 0;
  b.SetOnChange([&](TObject*) { ++changes; });
  b.Assign(&a);
  EXPECT_EQ(Items(b), Items(a));
  EXPECT_EQ(changes, 1);
  b.AddStrings(b);
  EXPECT_EQ(b.Count(), 4);

  TComponent other(nullptr);
  EXPECT_THROW(b.Assign(&other), EConvertError);
  EXPECT_EQ(b.Count(), 4);
}

}  // namespace
}  // namespace zel
