#include "framework/core/Component.h"

#include <algorithm>

TComponent::TComponent(TComponent* AOwner) : FOwner(AOwner)
{
    if (FOwner) {
        FDesigning = FOwner->FDesigning;
        FOwner->Insert(this);
    }
}

TComponent::~TComponent()
{
    // The newest component goes first, so that a component never outlives one it was given.
    while (!FComponents.empty()) delete FComponents.back();
    if (FOwner) FOwner->Remove(this);
}

void TComponent::SetDesigning(bool ADesigning)
{
    FDesigning = ADesigning;
    for (TComponent* c : FComponents) c->SetDesigning(ADesigning);
}

TComponent* TComponent::FindComponent(const std::u16string& AName) const
{
    if (AName.empty()) return nullptr;
    auto it = std::find_if(FComponents.begin(), FComponents.end(),
                           [&](const TComponent* c) { return c->FName == AName; });
    return it == FComponents.end() ? nullptr : *it;
}

void TComponent::Insert(TComponent* AComponent) { FComponents.push_back(AComponent); }

void TComponent::Remove(TComponent* AComponent)
{
    auto it = std::find(FComponents.begin(), FComponents.end(), AComponent);
    if (it != FComponents.end()) FComponents.erase(it);
}
