#include "render/Entity.h"
#include "render/EntityBatches.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

// Only the addresses matter to the grouping.
Model* modelAt(int slot) {
    static char storage[8];
    return reinterpret_cast<Model*>(&storage[slot]);
}

Entity entityOf(Model* model) { return Entity(model, Vec3(0), 0, 0, 0, 1, 0); }

std::vector<Model*> modelsOf(const EntityBatches& batches) {
    std::vector<Model*> models;
    for (const auto& [model, entities] : batches) {
        models.push_back(model);
    }
    return models;
}

}

TEST(EntityBatches, GroupsByModelKeepingListOrderAndFirstAppearance) {
    Entity a1 = entityOf(modelAt(1)), b = entityOf(modelAt(2)), a2 = entityOf(modelAt(1)), c = entityOf(modelAt(3));
    EntityBatches batches;
    for (Entity* e : {&a1, &b, &a2, &c}) {
        batches.add(e->model, e);
    }
    EXPECT_EQ(batches.size(), 3u);
    EXPECT_EQ(batches.at(modelAt(1)), (std::vector<Entity*>{&a1, &a2}));
    EXPECT_EQ(batches.at(modelAt(2)), std::vector<Entity*>{&b});
    EXPECT_EQ(modelsOf(batches), (std::vector<Model*>{modelAt(1), modelAt(2), modelAt(3)}));
    EXPECT_THROW(batches.at(modelAt(4)), std::out_of_range);
}

TEST(EntityBatches, ANewPassStartsEmptyEvenWithOtherModelsInOtherOrder) {
    Entity a = entityOf(modelAt(1)), b = entityOf(modelAt(2)), c = entityOf(modelAt(3));
    EntityBatches batches;
    batches.add(a.model, &a);
    batches.add(b.model, &b);
    batches.clear();
    EXPECT_TRUE(batches.empty());
    EXPECT_EQ(batches.begin(), batches.end());

    // Reused storage must not bring back the last pass's entities or models.
    batches.add(c.model, &c);
    batches.add(a.model, &a);
    EXPECT_EQ(modelsOf(batches), (std::vector<Model*>{modelAt(3), modelAt(1)}));
    EXPECT_EQ(batches.at(modelAt(1)), std::vector<Entity*>{&a});
    EXPECT_EQ(batches.at(modelAt(3)), std::vector<Entity*>{&c});
    EXPECT_THROW(batches.at(modelAt(2)), std::out_of_range);
}

TEST(EntityBatches, ListedGroupsKeepEvenAnEmptyOne) {
    Entity a = entityOf(modelAt(1)), b = entityOf(modelAt(1));
    const EntityBatches batches{{modelAt(1), {&a, &b}}, {modelAt(2), {}}};
    EXPECT_EQ(batches.size(), 2u);
    EXPECT_EQ(batches.at(modelAt(1)), (std::vector<Entity*>{&a, &b}));
    EXPECT_TRUE(batches.at(modelAt(2)).empty());
}
