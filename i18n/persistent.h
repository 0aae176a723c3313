#pragma once
// The object model the form translator walks: published text and object
// properties, owned components, collections and string lists. Toolkit-neutral,
// so that the windows' component layer and any other object tree answer the
// same way. User-interface thread only.
#include "relaybird/export.h"
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace relaybird {

class TPersistent;

// One published property. A text property has Get (and Set when it can be
// written); an object property has Object.
struct TPublishedProperty {
  std::string Name;
  std::function<std::string()> Get;
  std::function<void(const std::string&)> Set;
  std::function<TPersistent*()> Object;

  bool IsText() const { return static_cast<bool>(Get); }
};

RELAYBIRD_API TPublishedProperty TextProperty(std::string Name, std::function<std::string()> Get,
                                std::function<void(const std::string&)> Set = {});
RELAYBIRD_API TPublishedProperty ObjectProperty(std::string Name, std::function<TPersistent*()> Object);

class TComponent;

class RELAYBIRD_API TPersistent {
 public:
  virtual ~TPersistent() = default;
  // In publishing order, inherited properties first.
  virtual std::vector<TPublishedProperty> PublishedProperties() { return {}; }
  virtual TComponent* AsComponent() { return nullptr; }
  // Null unless this object is a collection.
  virtual std::vector<TPersistent*>* CollectionItems() { return nullptr; }
  // A string list answers with its lines and takes a whole new set at once.
  virtual bool IsStringList() const { return false; }
  virtual std::vector<std::string> Lines() const { return {}; }
  virtual void SetLines(const std::vector<std::string>&) {}
};

// A named object that owns others: destroying it destroys them, the last
// owned first.
class RELAYBIRD_API TComponent : public TPersistent {
 public:
  explicit TComponent(std::string Name);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* AsComponent() override { return this; }

  const std::string& Name() const { return FName; }
  void SetName(const std::string& Name) { FName = Name; }
  TComponent* Owner() const { return FOwner; }
  // In ownership order.
  std::vector<TComponent*> Components() const;
  // The owned component of that name (compared without case), null when none.
  TComponent* FindComponent(const std::string& Name) const;
  // Takes Component over; it is destroyed with this one.
  void InsertComponent(std::unique_ptr<TComponent> Component);
  // Destroys an owned component now.
  void FreeComponent(TComponent* Component);

  // Runs when the component is destroyed; the form registry uses it.
  std::function<void(TComponent*)> OnDestroy;

 private:
  std::string FName;
  TComponent* FOwner = nullptr;
  std::vector<std::unique_ptr<TComponent>> FComponents;
};

// A new component of class T owned by Owner.
template <class T, class... TArgs>
T* CreateComponent(TComponent& Owner, TArgs&&... Args) {
  auto Component = std::make_unique<T>(std::forward<TArgs>(Args)...);
  T* Created = Component.get();
  Owner.InsertComponent(std::move(Component));
  return Created;
}

}  // namespace relaybird
