#include "engine/tree/ObjectList.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Counts how many of its kind are alive, so a test sees what a list deleted.
class Tracked : public CObject {
public:
    explicit Tracked(int id) : id(id) { ++alive; }
    ~Tracked() override { --alive; }
    const int id;
    static inline int alive = 0;
};

int IdOf(CObject* object) {
    return object ? static_cast<Tracked*>(object)->id : -1;
}

class ObjectListTest : public ::testing::Test {
protected:
    void SetUp() override { Tracked::alive = 0; }
    void TearDown() override { EXPECT_EQ(Tracked::alive, 0) << "a test leaked or double-freed"; }
};

}  // namespace

TEST_F(ObjectListTest, AddReturnsIndexAndGetAtIsBounded) {
    ObjectList list(true);
    EXPECT_EQ(list.Add(new Tracked(10)), 0);
    EXPECT_EQ(list.Add(nullptr), 1);
    EXPECT_EQ(list.Add(new Tracked(12)), 2);
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(IdOf(list.GetAt(0)), 10);
    EXPECT_EQ(list.GetAt(1), nullptr);
    EXPECT_EQ(IdOf(list.GetAt(2)), 12);
    EXPECT_EQ(list.GetAt(-1), nullptr);
    EXPECT_EQ(list.GetAt(3), nullptr);
}

TEST_F(ObjectListTest, WalkVisitsEveryElementInOrder) {
    ObjectList list(true);
    for (int id = 0; id < 3; ++id)
        list.Add(new Tracked(id));
    std::vector<int> seen;
    list.Reset();
    while (list.HasNext())
        seen.push_back(IdOf(list.Next()));
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2}));

    // A second walk starts over.
    seen.clear();
    list.Reset();
    while (list.HasNext())
        seen.push_back(IdOf(list.Next()));
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2}));
}

TEST_F(ObjectListTest, NextAfterTheLastElementIsNullAndKeepsTheCursor) {
    ObjectList list(true);
    list.Add(new Tracked(1));
    list.Reset();
    EXPECT_EQ(IdOf(list.Next()), 1);
    EXPECT_FALSE(list.HasNext());
    EXPECT_EQ(list.Next(), nullptr);
    EXPECT_EQ(list.Next(), nullptr);
    // The cursor stayed just past the last element, so the next element added is next.
    list.Add(new Tracked(2));
    EXPECT_TRUE(list.HasNext());
    EXPECT_EQ(IdOf(list.Next()), 2);
}

TEST_F(ObjectListTest, ElementsAddedDuringAWalkAreSeenByIt) {
    ObjectList list(true);
    list.Add(new Tracked(0));
    std::vector<int> seen;
    list.Reset();
    while (list.HasNext()) {
        const int id = IdOf(list.Next());
        seen.push_back(id);
        if (id < 3)
            list.Add(new Tracked(id + 1));
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3}));
}

TEST_F(ObjectListTest, EmptyListHasNothingNext) {
    ObjectList list(false);
    list.Reset();
    EXPECT_FALSE(list.HasNext());
    EXPECT_EQ(list.Next(), nullptr);
}

TEST_F(ObjectListTest, RemovingTheCurrentElementDuringAWalkKeepsTheRest) {
    ObjectList list(true);
    for (int id = 0; id < 4; ++id)
        list.Add(new Tracked(id));
    std::vector<int> seen;
    list.Reset();
    while (list.HasNext()) {
        CObject* element = list.Next();
        seen.push_back(IdOf(element));
        if (IdOf(element) == 1) {
            list.RemoveAt(1);
            delete element;  // RemoveAt hands the element back to the caller
        }
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(Tracked::alive, 3);
}

TEST_F(ObjectListTest, RemoveAtOutsideTheListChangesNothing) {
    ObjectList list(true);
    list.Add(new Tracked(0));
    list.RemoveAt(-1);
    list.RemoveAt(1);
    EXPECT_EQ(list.GetCount(), 1);
}

TEST_F(ObjectListTest, OwningListDeletesItsElements) {
    {
        ObjectList list(true);
        list.Add(new Tracked(0));
        list.Add(nullptr);
        list.Add(new Tracked(1));
        EXPECT_EQ(Tracked::alive, 2);
    }
    EXPECT_EQ(Tracked::alive, 0);
}

TEST_F(ObjectListTest, NonOwningListLeavesItsElementsAlive) {
    Tracked a(0), b(1);
    {
        ObjectList list(false);
        list.Add(&a);
        list.Add(&b);
    }
    EXPECT_EQ(Tracked::alive, 2);
}

TEST_F(ObjectListTest, SetOwningDecidesAtDestruction) {
    Tracked kept(0);
    {
        ObjectList list(true);
        list.Add(&kept);
        list.SetOwning(false);
    }
    EXPECT_EQ(Tracked::alive, 1);
    {
        ObjectList list(false);
        list.Add(new Tracked(1));
        list.SetOwning(true);
    }
    EXPECT_EQ(Tracked::alive, 1);
}

TEST_F(ObjectListTest, DeleteAllEmptiesEvenANonOwningList) {
    ObjectList list(false);
    list.Add(new Tracked(0));
    list.Add(nullptr);
    list.Add(new Tracked(1));
    list.DeleteAll();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(Tracked::alive, 0);
    list.Reset();
    EXPECT_EQ(list.Next(), nullptr);
}
