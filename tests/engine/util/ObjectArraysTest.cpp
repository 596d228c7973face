#include "engine/util/ObjectArrays.h"

#include <gtest/gtest.h>

#include <list>

namespace {

class Counted : public CObject {
public:
    explicit Counted(int& alive) : alive_(alive) { ++alive_; }
    ~Counted() override { --alive_; }

private:
    int& alive_;
};

}  // namespace

TEST(ObjectArraysTest, DeleteAllObjectsDeletesEvenFromAListThatDoesNotOwn) {
    int alive = 0;
    for (bool owning : {true, false}) {
        ObjectList array(owning);
        array.Add(new Counted(alive));
        array.Add(nullptr);
        array.Add(new Counted(alive));
        ASSERT_EQ(alive, 2);
        DeleteAllObjects(array);
        EXPECT_EQ(alive, 0) << "owning " << owning;
        EXPECT_EQ(array.GetCount(), 0);
        array.Add(new Counted(alive));
        DeleteAllObjects(array);
    }
    EXPECT_EQ(alive, 0);
}

TEST(ObjectArraysTest, DeleteAllListObjectsEmptiesTheList) {
    int alive = 0;
    std::list<CObject*> list{new Counted(alive), nullptr, new Counted(alive)};
    DeleteAllListObjects(list);
    EXPECT_EQ(alive, 0);
    EXPECT_TRUE(list.empty());
    DeleteAllListObjects(list);
}
