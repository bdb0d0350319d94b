#include "zel/dstruct/assocarray.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "zel/platform/casemap.h"
#include "zel/platform/stream.h"
#include "zel/zelbase/errors.h"

namespace zel {
namespace {

TEST(AssocArray, IgnoreCaseFoldsKeysOnAdd) {
  TAssocArray a(nullptr);
  EXPECT_TRUE(a.IgnoreCase());
  EXPECT_EQ(a.Granularity(), 1024);
  EXPECT_EQ(a.Capacity(), 1024);
  a.Add(u"Key", int32_t{1});
  a.Add(u"KEY", int32_t{2});
  ASSERT_EQ(a.NumEntries(), 1);
  EXPECT_EQ(a.Keys(1), u"key");
  EXPECT_EQ(a.Values(1), Variant(int32_t{2}));

  TAssocArray b(nullptr);
  b.SetIgnoreCase(false);
  b.Add(u"Key", int32_t{1});
  b.Add(u"KEY", int32_t{2});
  EXPECT_EQ(b.NumEntries(), 2);
  EXPECT_EQ(b.Keys(1), u"Key");
  EXPECT_TRUE(b.Resolve(u"key").IsNull());
  // Switching IgnoreCase on later: stored keys stay, lookups fold both sides.
  b.SetIgnoreCase(true);
  EXPECT_EQ(b.Resolve(u"key"), Variant(int32_t{1}));
  EXPECT_EQ(b.Keys(2), u"KEY");
}

TEST(AssocArray, RemoveMovesTheLastEntryIntoTheGap) {
  TAssocArray a(nullptr);
  a.Add(u"a", int32_t{1});
  a.Add(u"b", int32_t{2});
  a.Add(u"c", int32_t{3});
  EXPECT_TRUE(a.Remove(u"A"));
  EXPECT_FALSE(a.Remove(u"a"));
  ASSERT_EQ(a.NumEntries(), 2);
  EXPECT_EQ(a.Keys(1), u"c");
  EXPECT_EQ(a.Keys(2), u"b");
  EXPECT_EQ(a.Resolve(u"c"), Variant(int32_t{3}));
  EXPECT_EQ(a.Capacity(), 1024);
}

TEST(AssocArray, OutOfRangeAndAbsent) {
  TAssocArray a(nullptr);
  EXPECT_TRUE(a.Resolve(u"x").IsNull());
  EXPECT_EQ(a.GetValues(0), Variant(String()));
  EXPECT_EQ(a.GetKeys(1), u"");
  EXPECT_EQ(a.ResolveAsString(u"x"), u"");
  EXPECT_EQ(a.ResolveAsNumber(u"x"), 0);
  EXPECT_EQ(a.ResolveAsInt(u"x"), 0);
  a.SetKeys(1, u"y");
  a.SetValues(1, int32_t{3});
  EXPECT_EQ(a.NumEntries(), 0);
}

TEST(AssocArray, TypedLookups) {
  TAssocArray a(nullptr);
  a.Add(u"s", String(u" 3,5 kg"));
  a.Add(u"d", 2.5);
  a.Add(u"d2", 3.5);
  a.Add(u"b", true);
  a.Add(u"c", VarFromCurrency(12345));  // 1.2345
  a.Add(u"n", Null());
  a.Add(u"big", int64_t{5000000000});
  a.Add(u"w", uint16_t{65535});
  a.Add(u"junk", String(u"kg"));
  EXPECT_DOUBLE_EQ(a.ResolveAsNumber(u"s"), 3.5);
  EXPECT_EQ(a.ResolveAsInt(u"s"), 3);
  EXPECT_EQ(a.ResolveAsInt(u"d"), 2);
  EXPECT_EQ(a.ResolveAsInt(u"d2"), 4);
  EXPECT_EQ(a.ResolveAsInt(u"b"), 0);
  EXPECT_EQ(a.ResolveAsNumber(u"b"), 0);
  EXPECT_DOUBLE_EQ(a.ResolveAsNumber(u"c"), 1.2345);
  EXPECT_EQ(a.ResolveAsInt(u"c"), 0);
  EXPECT_EQ(a.ResolveAsString(u"n"), u"");
  EXPECT_EQ(a.ResolveAsString(u"d"), u"2.5");
  EXPECT_EQ(a.ResolveAsString(u"b"), u"True");
  EXPECT_EQ(a.ResolveAsNumber(u"big"), 5e9);
  EXPECT_THROW(a.ResolveAsInt(u"big"), EVariantError);
  EXPECT_EQ(a.ResolveAsInt(u"w"), 65535);
  EXPECT_EQ(a.ResolveAsNumber(u"junk"), 0);
  EXPECT_EQ(a.ResolveAsInt(u"junk"), 0);
}

TEST(AssocArray, IncrementCountsInIntegerValues) {
  TAssocArray a(nullptr);  // IgnoreCase: "To" and "to" are one key
  for (const Char* w : {u"to", u"be", u"or", u"not", u"To", u"be"}) a.Increment(w);
  EXPECT_EQ(a.NumEntries(), 4);
  EXPECT_EQ(a.Resolve(u"to"), Variant(int64_t{2}));
  EXPECT_EQ(a.Keys(1), u"to");
  EXPECT_EQ(a.Increment(u"or", -5), -4);
  EXPECT_EQ(a.Increment(u"new", 7), 7);  // added as Add adds
  // Every integer type and Null/Empty count; the sum is an int64_t.
  const struct {
    Variant start;
    int64_t sum;  // after adding 3
  } ok[] = {
      {Variant(int8_t{-8}), -5},     {Variant(uint8_t{255}), 258},
      {Variant(int16_t{-300}), -297}, {Variant(uint16_t{65535}), 65538},
      {Variant(int32_t{40}), 43},     {Variant(uint32_t{4294967295u}), 4294967298},
      {Variant(int64_t{1} << 40), (int64_t{1} << 40) + 3}, {Null(), 3}, {Variant(), 3},
  };
  for (const auto& c : ok) {
    a.Add(u"k", c.start);
    EXPECT_EQ(a.Increment(u"K", 3), c.sum) << ToUtf8(VarTypeName(c.start.VarType()));
    EXPECT_EQ(a.Resolve(u"k"), Variant(c.sum));
    EXPECT_EQ(a.Resolve(u"k").VarType(), varInt64);
  }
  // Other values and overflow raise and leave the entry as it was.
  const Variant bad[] = {Variant(u"3"), Variant(2.0), Variant(true), Variant(uint64_t{1}),
                         Variant(std::numeric_limits<int64_t>::max())};
  for (const Variant& v : bad) {
    a.Add(u"k", v);
    EXPECT_THROW(a.Increment(u"k"), EZELDStructError) << ToUtf8(VarTypeName(v.VarType()));
    EXPECT_EQ(a.Resolve(u"k"), v);
  }
  a.Add(u"k", Variant(std::numeric_limits<int64_t>::min()));
  EXPECT_THROW(a.Increment(u"k", -1), EZELDStructError);
  EXPECT_EQ(a.Increment(u"k", std::numeric_limits<int64_t>::max()), -1);
}

TEST(AssocArray, CapacityGrowsByGranularity) {
  TAssocArray a(nullptr);
  for (int i = 1; i <= 1024; ++i) a.Add(FromUtf8(std::to_string(i)), i);
  EXPECT_EQ(a.Capacity(), 1024);
  a.Add(u"1025", int32_t{1025});
  EXPECT_EQ(a.Capacity(), 2049);
  a.Clear();
  EXPECT_EQ(a.NumEntries(), 0);
  EXPECT_EQ(a.Capacity(), 1024);
  a.SetGranularity(0);
  a.Clear();
  EXPECT_EQ(a.Capacity(), 0);
  a.Add(u"x", int32_t{1});  // a granularity of 0 grows by one
  a.Add(u"y", int32_t{1});
  EXPECT_EQ(a.Capacity(), 2);
  a.SetGranularity(-5);
  a.Clear();
  EXPECT_EQ(a.Capacity(), 0);  // not -5
}

TEST(AssocArray, AssignCopiesExactly) {
  TAssocArray empty(nullptr), a(nullptr), b(nullptr);
  empty.SetDataID(u"id");
  a.Assign(&empty);
  EXPECT_EQ(a.Capacity(), 0);
  EXPECT_EQ(a.DataID(), u"id");
  a.Add(u"k", int32_t{1});
  EXPECT_EQ(a.Capacity(), 1025);
  a.Add(u"j", int32_t{2});
  a.SetGranularity(7);
  a.SetIgnoreCase(false);
  b.Assign(&a);
  EXPECT_EQ(b.NumEntries(), 2);
  EXPECT_EQ(b.Capacity(), 2);
  EXPECT_EQ(b.Granularity(), 7);
  EXPECT_FALSE(b.IgnoreCase());
  EXPECT_EQ(b.Resolve(u"j"), Variant(int32_t{2}));
  b.Add(u"z", int32_t{3});
  EXPECT_EQ(b.Capacity(), 10);
}

// A plain scan over keys and values as the index must reproduce it.
struct ScanModel {
  std::vector<String> keys;
  std::vector<int> values;
  bool ignore_case = true;
  static String Fold(StringView s) { return LowerCase(s); }
  int Find(StringView key) const {
    const String k = ignore_case ? Fold(key) : String(key);
    for (size_t i = 0; i < keys.size(); ++i) {
      if ((ignore_case ? Fold(keys[i]) : keys[i]) == k) return static_cast<int>(i);
    }
    return -1;
  }
  void Add(StringView key, int v) {
    const int i = Find(key);
    if (i >= 0) {
      values[static_cast<size_t>(i)] = v;
    } else {
      keys.push_back(ignore_case ? Fold(key) : String(key));
      values.push_back(v);
    }
  }
  bool Remove(StringView key) {
    const int i = Find(key);
    if (i < 0) return false;
    keys[static_cast<size_t>(i)] = keys.back();
    values[static_cast<size_t>(i)] = values.back();
    keys.pop_back();
    values.pop_back();
    return true;
  }
};

TEST(AssocArray, HashIndexAgreesWithAScan) {
  TAssocArray a(nullptr);
  ScanModel m;
  uint32_t x = 99;
  auto next = [&] { return x = x * 1664525u + 1013904223u, x >> 8; };
  const Char* letters = u"aAbBcC";
  auto key = [&] {
    String k;
    const uint32_t len = next() % 3;
    for (uint32_t i = 0; i <= len; ++i) k += letters[next() % 6];
    return k;
  };
  for (int step = 0; step < 20000; ++step) {
    const uint32_t op = next() % 100;
    const String k = key();
    if (op < 45) {
      const int v = static_cast<int>(next() % 1000);
      a.Add(k, v);
      m.Add(k, v);
    } else if (op < 75) {
      ASSERT_EQ(a.Remove(k), m.Remove(k)) << step;
    } else if (op < 90 && !m.keys.empty()) {
      // SetKeys may create duplicates: the lower index must win.
      const int ix = static_cast<int>(next() % m.keys.size()) + 1;
      a.SetKeys(ix, k);
      m.keys[static_cast<size_t>(ix - 1)] = k;
    } else if (op < 93) {
      const bool on = next() % 2 == 0;
      a.SetIgnoreCase(on);
      m.ignore_case = on;
    } else {
      const int i = m.Find(k);
      const Variant v = a.Resolve(k);
      if (i < 0) {
        ASSERT_TRUE(v.IsNull()) << step;
      } else {
        ASSERT_EQ(v, Variant(int32_t{m.values[static_cast<size_t>(i)]})) << step;
      }
    }
    ASSERT_EQ(a.NumEntries(), static_cast<int>(m.keys.size()));
  }
  for (size_t i = 0; i < m.keys.size(); ++i) {
    EXPECT_EQ(a.Keys(static_cast<int>(i) + 1), m.keys[i]);
    EXPECT_EQ(a.Values(static_cast<int>(i) + 1), Variant(int32_t{m.values[i]}));
  }
}

// --- tagged-text persistence

uint64_t Bits(const Variant& v) {
  return v.VarType() == varSingle ? std::bit_cast<uint32_t>(static_cast<float>(v.AsDouble()))
                                  : std::bit_cast<uint64_t>(v.AsDouble());
}

TEST(AssocArrayXML, EveryWritableTypeSurvives) {
  TAssocArray a(nullptr);
  a.SetIgnoreCase(false);
  const double nan_payload = std::bit_cast<double>(uint64_t{0x7FF8000000000123});
  std::vector<Variant> values = {
      Null(), Unassigned(), int16_t{-32768}, int32_t{-2147483647 - 1}, int8_t{-128}, uint8_t{255},
      uint16_t{65535}, uint32_t{4294967295u}, int64_t{INT64_MIN}, uint64_t{UINT64_MAX},
      float{0.1f}, float{-0.0f}, 0.1, -0.0, 1e-320, std::numeric_limits<double>::infinity(),
      nan_payload, VarFromCurrency(INT64_MIN), VarFromCurrency(-12345), VarFromDateTime(45000.25),
      true, false, String(u"a<b>&\"c\" \r\n\t\x01 \xE9\x20AC \xD83D\xDE00 &#65; =x"), String(u""), String(u"  lead and trail  "),
      VarFromAnsiString(std::string_view("caf\xE9 \x80", 6))};
  for (size_t i = 0; i < values.size(); ++i) {
    a.Add(u"Key <" + FromUtf8(std::to_string(i)) + u"> \"&\xFC\"", values[i]);
  }
  a.Add(u"", int32_t{7});  // an empty key too
  TStringStream s;
  a.WriteToXMLStream(s, true, u"My Data");
  const std::string_view text = s.DataBytes();
  EXPECT_EQ(text.substr(0, 21), "<?xml version=\"1.0\"?>");
  for (unsigned char c : text) ASSERT_LT(c, 128);  // pure ASCII

  s.SetPosition(0);
  TAssocArray b(nullptr);
  b.SetIgnoreCase(false);
  ASSERT_TRUE(b.ReadFromXMLStream(s, u"my data"));
  ASSERT_EQ(b.NumEntries(), a.NumEntries());
  for (int i = 1; i <= a.NumEntries(); ++i) {
    const Variant va = a.Values(i), vb = b.Values(i);
    EXPECT_EQ(b.Keys(i), a.Keys(i));
    ASSERT_EQ(vb.VarType(), va.VarType()) << i;
    const TVarType t = va.VarType();
    if (t == varSingle || t == varDouble || t == varDate) {
      EXPECT_EQ(Bits(vb), Bits(va)) << i;
    } else {
      EXPECT_EQ(vb, va) << i;
    }
  }
}

TEST(AssocArrayXML, SectionsAreChosenByDataID) {
  TAssocArray a(nullptr), b(nullptr);
  a.Add(u"x", int32_t{1});
  b.Add(u"x", int32_t{2});
  b.SetDataID(u"second");
  TStringStream s;
  s.WriteString(u"some text <other>stuff</other>\r\n");
  a.WriteToXMLStream(s, false, u"first");
  b.WriteToXMLStream(s, false, u"");  // the DataID property
  s.SetPosition(0);
  TAssocArray r(nullptr);
  ASSERT_TRUE(r.ReadFromXMLStream(s, u"second"));
  EXPECT_EQ(r.Resolve(u"x"), Variant(int32_t{2}));
  s.SetPosition(0);
  r.SetDataID(u"first");
  ASSERT_TRUE(r.ReadFromXMLStream(s, u""));
  EXPECT_EQ(r.Resolve(u"x"), Variant(int32_t{1}));
  EXPECT_EQ(r.NumEntries(), 1);
  // Behind the first section, the second is still there to read.
  ASSERT_TRUE(r.ReadFromXMLStream(s, u"second"));
  s.SetPosition(0);
  EXPECT_FALSE(r.ReadFromXMLStream(s, u"third"));
}

TEST(AssocArrayXML, MalformedSectionsAddNothing) {
  const char* cases[] = {
      "<assocarray dataid=\"d\"><numentries>2</numentries><assoc key=\"a\" type=\"3\">1</assoc></assocarray>",
      "<assocarray dataid=\"d\"><numentries>1</numentries><assoc key=\"a\" type=\"3\">x</assoc></assocarray>",
      "<assocarray dataid=\"d\"><numentries>1</numentries><assoc key=\"a\" type=\"17\">256</assoc></assocarray>",
      "<assocarray dataid=\"d\"><numentries>1</numentries><assoc key=\"a\" type=\"8204\">1</assoc></assocarray>",
      "<assocarray dataid=\"d\"><numentries>1</numentries><assoc key=\"a\">1</assoc></assocarray>",
      "<assocarray dataid=\"d\"><assoc key=\"a\" type=\"3\">1</assoc></assocarray>",
      "<assocarray dataid=\"d\"><numentries>1</numentries><assoc key=\"a\" type=\"1\">z</assoc></assocarray>",
      "<assocarray dataid=\"d\"><numentries>1</numentries><assoc key=\"a\" type=\"6\">1.5</assoc></assocarray>",
  };
  for (const char* c : cases) {
    TAssocArray a(nullptr);
    TStringStream s(c);
    EXPECT_FALSE(a.ReadFromXMLStream(s, u"d")) << c;
    EXPECT_EQ(a.NumEntries(), 0) << c;
  }
}

TEST(AssocArrayXML, UnwritableValuesRaiseBeforeWriting) {
  TAssocArray a(nullptr);
  a.SetName(u"Settings");
  a.Add(u"ok", int32_t{1});
  a.Add(u"arr", VarArrayOf({Variant(int32_t{1})}));
  TStringStream s;
  try {
    a.WriteToXMLStream(s, true, u"d");
    FAIL() << "no exception";
  } catch (const EZELDStructError& e) {
    EXPECT_EQ(e.Message(), u"Component \"Settings\": value of entry 2 has variant type 8204, which cannot be written");
  }
  EXPECT_EQ(s.Size(), 0);
}

TEST(AssocArrayXML, AddXMLAttributes) {
  TAssocArray a(nullptr);
  EXPECT_EQ(a.AddXMLAttributes(u"Width=3 name=\"a b=c\"  empty=\"\" flag"), 4);
  EXPECT_EQ(a.ResolveAsString(u"width"), u"3");
  EXPECT_EQ(a.Resolve(u"width").VarType(), varUString);
  EXPECT_EQ(a.ResolveAsString(u"name"), u"a b=c");
  EXPECT_EQ(a.ResolveAsString(u"flag"), u"");
  EXPECT_EQ(a.NumEntries(), 4);
  // Reading stops at a malformed pair; what came before stays.
  EXPECT_EQ(a.AddXMLAttributes(u"x=1 y==2 z=3"), 1);
  EXPECT_EQ(a.ResolveAsInt(u"x"), 1);
  EXPECT_TRUE(a.Resolve(u"z").IsNull());
  EXPECT_EQ(a.AddXMLAttributes(u""), 0);
  EXPECT_EQ(a.AddXMLAttributes(u"   "), 0);
}

}  // namespace
}  // namespace zel
