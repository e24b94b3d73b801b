#pragma once
// Base of every component: an owner that destroys it, the components it owns, a name and the
// design-mode state (being edited in a form designer rather than running).
#include <string>
#include <vector>

class TComponent {
public:
    explicit TComponent(TComponent* AOwner);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return FOwner; }
    const std::u16string& Name() const { return FName; }
    void SetName(const std::u16string& AName) { FName = AName; }

    // Design mode passes down to every owned component, present and future.
    bool Designing() const { return FDesigning; }
    void SetDesigning(bool ADesigning);

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int AIndex) const { return FComponents.at(static_cast<size_t>(AIndex)); }
    TComponent* FindComponent(const std::u16string& AName) const;

private:
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);

    TComponent* FOwner;
    std::u16string FName;
    bool FDesigning = false;
    std::vector<TComponent*> FComponents;
};
