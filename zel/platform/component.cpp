#include "zel/platform/component.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "zel/platform/exceptions.h"
#include "zel/platform/export.h"

namespace ZEL_EXPORT zel {

String TObject::ClassName() const {
  const char* mangled = typeid(*this).name();
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> demangled(
      abi::__cxa_demangle(mangled, nullptr, nullptr, &status), &std::free);
  std::string name = (status == 0 && demangled) ? demangled.get() : mangled;
  if (const auto colon = name.rfind("::"); colon != std::string::npos) {
    name.erase(0, colon + 2);
  }
  return S(name);
}

void TPersistent::Assign(const TPersistent* Source) {
  if (Source == nullptr) AssignError(nullptr);
  Source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* Dest) const { Dest->AssignError(this); }

void TPersistent::AssignError(const TPersistent* Source) const {
  const String source_name = Source ? Source->ClassName() : u"nil";
  throw EConvertError(u"Cannot assign a " + source_name + u" to a " + ClassName());
}

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner != nullptr) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  // Owned components go first, last-created first; each one unlinks itself.
  while (!components_.empty()) {
    TComponent* child = components_.back();
    components_.pop_back();
    child->owner_ = nullptr;
    delete child;
  }
  if (owner_ != nullptr) owner_->RemoveComponent(this);
}

TComponent* TComponent::Components(int i) const noexcept {
  if (i < 0 || i >= ComponentCount()) return nullptr;
  return components_[static_cast<size_t>(i)];
}

void TComponent::InsertComponent(TComponent* c) {
  if (c == nullptr || c->owner_ == this) return;
  for (const TComponent* o = this; o != nullptr; o = o->owner_) {
    if (o == c) throw Exception(u"A component cannot own itself or one of its owners");
  }
  if (c->owner_ != nullptr) c->owner_->RemoveComponent(c);
  components_.push_back(c);
  c->owner_ = this;
}

void TComponent::RemoveComponent(TComponent* c) {
  const auto it = std::find(components_.begin(), components_.end(), c);
  if (it == components_.end()) return;
  components_.erase(it);
  c->owner_ = nullptr;
}

}  // namespace zel
