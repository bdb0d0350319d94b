#include "zel/zelbase/errors.h"

#include <gtest/gtest.h>

#include "zel/zelbase/types.h"

namespace zel {
namespace {

TEST(ErrorsTest, UnitClassesAreCaughtByTheBaseButNotByEachOther) {
  auto raise_colarray = [] { throw EZELColArrayError(u"x"); };
  EXPECT_THROW(raise_colarray(), EZELError);
  EXPECT_THROW(raise_colarray(), Exception);
  bool caught_as_dstruct = false;
  try {
    raise_colarray();
  } catch (const EZELDStructError&) {
    caught_as_dstruct = true;
  } catch (const EZELError&) {
  }
  EXPECT_FALSE(caught_as_dstruct);
}

TEST(ErrorsTest, MessageIsKeptAndReadableAsUtf8) {
  const EZELStringlError e(u"Größe: 3");
  EXPECT_EQ(e.Message(), u"Größe: 3");
  EXPECT_STREQ(e.what(), "Größe: 3");
}

TEST(ErrorsTest, ComponentAndClassForms) {
  TComponent named(nullptr);
  named.SetName(u"Table1");
  EXPECT_EQ(ComponentMessage(named, u": bad index"), u"Component \"Table1\": bad index");
  TComponent unnamed(nullptr);
  EXPECT_EQ(ComponentMessage(unnamed, kNotEnoughMemoryOnHeap),
            u"Component \"\": not enough memory on heap");
  EXPECT_EQ(ClassMessage(u"TStringArray", u"failed to initialize (out of memory)"),
            u"Class TStringArray: failed to initialize (out of memory)");
}

TEST(ErrorsTest, AllocationFailureBecomesTheUnitsError) {
  TComponent c(nullptr);
  try {
    ThrowIfOutOfMemory<EZELDStructError>(c, []() -> int { throw std::bad_alloc(); });
    FAIL() << "no exception";
  } catch (const EZELDStructError& e) {
    EXPECT_EQ(e.Message(), u"Component \"\": not enough memory on heap");
  }
  // The shorter text of the family can be given instead.
  EXPECT_THROW(ThrowIfOutOfMemory<EZELColArrayError>(
                   c, []() -> int { throw std::bad_alloc(); }, kNotEnoughMemory),
               EZELColArrayError);
  // Success passes the result through.
  EXPECT_EQ(ThrowIfOutOfMemory<EZELDStructError>(c, [] { return 7; }), 7);
}

TEST(TypesTest, RectViewsShareStorage) {
  TRectDouble r{1, 2, 3, 4};
  EXPECT_EQ(r.TopLeft(), (TPointDouble{1, 2}));
  EXPECT_EQ(r.BottomRight(), (TPointDouble{3, 4}));
  r.BottomRight().X = 9;
  EXPECT_EQ(r.Right, 9);
}

TEST(TypesTest, EnumerationsTakeOneByteAndCountFromZero) {
  static_assert(sizeof(TTriState) == 1 && sizeof(TMouseActMode) == 1);
  EXPECT_EQ(tsUndefined, 2);
  EXPECT_EQ(csvTab, 5);
  EXPECT_EQ(fsEngraved, 5);
  EXPECT_EQ(maZoomPanColors, 18);
}

}  // namespace
}  // namespace zel
