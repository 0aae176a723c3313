#include "i18n/persistent.h"

#include <algorithm>

#include "platform/text_encoding.h"

namespace relaybird {

TPublishedProperty TextProperty(std::string Name, std::function<std::string()> Get,
                                std::function<void(const std::string&)> Set) {
  return {std::move(Name), std::move(Get), std::move(Set), {}};
}

TPublishedProperty ObjectProperty(std::string Name, std::function<TPersistent*()> Object) {
  return {std::move(Name), {}, {}, std::move(Object)};
}

TComponent::TComponent(std::string Name) : FName(std::move(Name)) {}

TComponent::~TComponent() {
  while (!FComponents.empty()) {
    std::unique_ptr<TComponent> Last = std::move(FComponents.back());
    FComponents.pop_back();
  }
  if (OnDestroy) OnDestroy(this);
}

void TComponent::InsertComponent(std::unique_ptr<TComponent> Component) {
  Component->FOwner = this;
  FComponents.push_back(std::move(Component));
}

std::vector<TComponent*> TComponent::Components() const {
  std::vector<TComponent*> Result;
  for (const auto& Component : FComponents) Result.push_back(Component.get());
  return Result;
}

TComponent* TComponent::FindComponent(const std::string& Name) const {
  for (const auto& Component : FComponents)
    if (SameText(Component->Name(), Name)) return Component.get();
  return nullptr;
}

void TComponent::FreeComponent(TComponent* Component) {
  const auto Found = std::find_if(FComponents.begin(), FComponents.end(),
                                  [Component](const auto& Slot) { return Slot.get() == Component; });
  if (Found == FComponents.end()) return;
  const std::unique_ptr<TComponent> Owned = std::move(*Found);
  FComponents.erase(Found);
}

}  // namespace relaybird
