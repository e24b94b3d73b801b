#pragma once
// Optional events: a component publishes a notification as a TEvent member; the owner binds a
// handler (an object and one of its methods, or any callable). Firing an unbound event does
// nothing. A parameter the handler may change is declared as a reference in the signature.
#include <functional>
#include <utility>

template <class Signature>
class TEvent;

template <class... Args>
class TEvent<void(Args...)> {
public:
    TEvent() = default;

    template <class C>
    void Bind(C* object, void (C::*method)(Args...))
    {
        FHandler = [object, method](Args... args) { (object->*method)(std::forward<Args>(args)...); };
    }
    template <class F>
    void Bind(F&& handler) { FHandler = std::forward<F>(handler); }
    void Clear() { FHandler = nullptr; }
    bool Assigned() const { return static_cast<bool>(FHandler); }

    void operator()(Args... args) const
    {
        if (FHandler) FHandler(std::forward<Args>(args)...);
    }

private:
    std::function<void(Args...)> FHandler;
};
