#pragma once
// The entities of one pass grouped by model identity, each group in list order,
// groups in the order their model first appeared. Emptied after every pass but
// keeps its storage, so regrouping the same scene allocates nothing frame after frame.

#include <cstddef>
#include <initializer_list>
#include <utility>
#include <vector>

class Entity;
struct Model;

struct EntityBatch {
    Model* model = nullptr;
    std::vector<Entity*> entities;
};

class EntityBatches {
public:
    using const_iterator = std::vector<EntityBatch>::const_iterator;

    EntityBatches() = default;
    EntityBatches(std::initializer_list<std::pair<Model*, std::vector<Entity*>>> groups);

    // Appends the entity to its model's group, opening the group if it is new.
    void add(Model* model, Entity* entity);
    // Empties every group; their storage stays for the next pass.
    void clear();

    bool empty() const { return used == 0; }
    std::size_t size() const { return used; }
    // The group of a model that has one; throws std::out_of_range otherwise.
    const std::vector<Entity*>& at(const Model* model) const;

    const_iterator begin() const { return slots.begin(); }
    const_iterator end() const { return slots.begin() + std::ptrdiff_t(used); }

private:
    std::vector<Entity*>& groupOf(Model* model);

    std::vector<EntityBatch> slots; // the first `used` are this pass's groups
    std::size_t used = 0;
};
