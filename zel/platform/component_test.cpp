#include "zel/platform/component.h"

#include <gtest/gtest.h>

#include "zel/platform/exceptions.h"

namespace zel {
namespace {

class TWidget : public TComponent {
 public:
  TWidget(TComponent* owner, int* destroyed) : TComponent(owner), destroyed_(destroyed) {}
  ~TWidget() override { ++*destroyed_; }

 private:
  int* destroyed_;
};

class TPoint3 : public TPersistent {
 public:
  int x = 0;
  void Assign(const TPersistent* Source) override {
    if (const auto* p = dynamic_cast<const TPoint3*>(Source)) {
      x = p->x;
      return;
    }
    TPersistent::Assign(Source);
  }
};

class TColorBox : public TPersistent {
 public:
  int color = 7;
};

TEST(Component, OwnerDeletesWhatItOwns) {
  int destroyed = 0;
  auto* owner = new TWidget(nullptr, &destroyed);
  auto* a = new TWidget(owner, &destroyed);
  auto* b = new TWidget(a, &destroyed);  // grandchild
  new TWidget(owner, &destroyed);
  EXPECT_EQ(owner->ComponentCount(), 2);
  EXPECT_EQ(owner->Components(0), a);
  EXPECT_EQ(owner->Components(5), nullptr);
  EXPECT_EQ(b->Owner(), a);
  delete owner;
  EXPECT_EQ(destroyed, 4);
}

TEST(Component, DeletedChildLeavesItsOwner) {
  int destroyed = 0;
  TWidget owner(nullptr, &destroyed);
  auto* a = new TWidget(&owner, &destroyed);
  new TWidget(&owner, &destroyed);
  delete a;  // unlinks itself: the owner must not delete it again
  EXPECT_EQ(owner.ComponentCount(), 1);
  EXPECT_EQ(destroyed, 1);
}

TEST(Component, OwnershipMovesAndCanBeReleased) {
  int destroyed = 0;
  TWidget first(nullptr, &destroyed);
  TWidget second(nullptr, &destroyed);
  auto* c = new TWidget(&first, &destroyed);
  second.InsertComponent(c);
  EXPECT_EQ(c->Owner(), &second);
  EXPECT_EQ(first.ComponentCount(), 0);
  second.RemoveComponent(c);
  EXPECT_EQ(c->Owner(), nullptr);
  delete c;
  EXPECT_EQ(destroyed, 1);
}

TEST(Component, OwnershipCyclesAreRefused) {
  int destroyed = 0;
  TWidget root(nullptr, &destroyed);
  auto* child = new TWidget(&root, &destroyed);
  auto* grandchild = new TWidget(child, &destroyed);
  EXPECT_THROW(child->InsertComponent(child), Exception);
  EXPECT_THROW(grandchild->InsertComponent(&root), Exception);
  EXPECT_THROW(grandchild->InsertComponent(child), Exception);
  EXPECT_EQ(child->Owner(), &root);
  EXPECT_EQ(grandchild->Owner(), child);
  EXPECT_EQ(root.Owner(), nullptr);
}  // root deletes both once; AddressSanitizer reports a double delete otherwise

TEST(Component, NameAndClassName) {
  int destroyed = 0;
  TWidget w(nullptr, &destroyed);
  w.SetName(u"Table1");
  EXPECT_EQ(w.Name(), u"Table1");
  EXPECT_EQ(w.ClassName(), u"TWidget");
  TPoint3 p;
  EXPECT_EQ(p.ClassName(), u"TPoint3");
}

TEST(Persistent, AssignBetweenUnrelatedClassesRaisesAndKeepsTheTarget) {
  TPoint3 a, b;
  a.x = 5;
  b.Assign(&a);
  EXPECT_EQ(b.x, 5);
  TColorBox box;
  b.x = 9;
  try {
    b.Assign(&box);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), u"Cannot assign a TColorBox to a TPoint3");
  }
  EXPECT_EQ(b.x, 9);
  EXPECT_THROW(box.Assign(&a), EConvertError);
  EXPECT_EQ(box.color, 7);
  EXPECT_THROW(b.Assign(nullptr), EConvertError);
}

}  // namespace
}  // namespace zel
