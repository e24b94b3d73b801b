#include "framework/core/Component.h"
#include "framework/core/Event.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Records its own destruction into a shared log.
class TLogged : public TComponent {
public:
    TLogged(TComponent* AOwner, std::vector<std::u16string>& ALog, const std::u16string& AName)
        : TComponent(AOwner), FLog(ALog)
    {
        SetName(AName);
    }
    ~TLogged() override { FLog.push_back(Name()); }

private:
    std::vector<std::u16string>& FLog;
};

TEST(Component, OwnerDestroysOwnedNewestFirstAndForgetsFreedOnes)
{
    std::vector<std::u16string> log;
    auto* root = new TLogged(nullptr, log, u"root");
    auto* a = new TLogged(root, log, u"a");
    new TLogged(a, log, u"a1");
    auto* b = new TLogged(root, log, u"b");
    auto* c = new TLogged(root, log, u"c");
    delete b; // freed early: the owner must not free it again
    EXPECT_EQ(root->ComponentCount(), 2);
    EXPECT_EQ(root->FindComponent(u"c"), c);
    EXPECT_EQ(root->FindComponent(u"b"), nullptr);
    EXPECT_EQ(root->FindComponent(u""), nullptr);
    delete root;
    // A destructor's own body runs before the base destroys what the component owns.
    EXPECT_EQ(log, (std::vector<std::u16string>{u"b", u"root", u"c", u"a", u"a1"}));
}

TEST(Component, DesignModeReachesPresentAndLaterOwnedComponents)
{
    TComponent root(nullptr);
    auto* early = new TComponent(&root);
    root.SetDesigning(true);
    auto* late = new TComponent(early);
    EXPECT_TRUE(early->Designing());
    EXPECT_TRUE(late->Designing());
    root.SetDesigning(false);
    EXPECT_FALSE(late->Designing());
}

class THandlerObject {
public:
    void Veto(int AValue, bool& bContinue)
    {
        FSeen = AValue;
        bContinue = false;
    }
    int FSeen = 0;
};

TEST(Event, UnboundIsSkippedBoundMethodCanChangeByReferenceParameter)
{
    TEvent<void(int, bool&)> ev;
    bool bContinue = true;
    ev(1, bContinue); // no handler: nothing happens
    EXPECT_FALSE(ev.Assigned());
    EXPECT_TRUE(bContinue);

    THandlerObject h;
    ev.Bind(&h, &THandlerObject::Veto);
    ev(7, bContinue);
    EXPECT_EQ(h.FSeen, 7);
    EXPECT_FALSE(bContinue);

    ev.Clear();
    bContinue = true;
    ev(9, bContinue);
    EXPECT_EQ(h.FSeen, 7);
    EXPECT_TRUE(bContinue);
}

} // namespace
