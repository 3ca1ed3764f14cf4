#include "render/EntityBatches.h"

#include <stdexcept>

EntityBatches::EntityBatches(std::initializer_list<std::pair<Model*, std::vector<Entity*>>> groups) {
    for (const auto& [model, entities] : groups) {
        std::vector<Entity*>& group = groupOf(model);
        group.insert(group.end(), entities.begin(), entities.end());
    }
}

void EntityBatches::add(Model* model, Entity* entity) {
    groupOf(model).push_back(entity);
}

std::vector<Entity*>& EntityBatches::groupOf(Model* model) {
    // A scene has a few dozen models at most: a linear search beats any index here.
    for (std::size_t i = 0; i < used; ++i) {
        if (slots[i].model == model) {
            return slots[i].entities;
        }
    }
    if (used == slots.size()) {
        slots.emplace_back();
    }
    EntityBatch& batch = slots[used++];
    batch.model = model;
    return batch.entities;
}

void EntityBatches::clear() {
    for (std::size_t i = 0; i < used; ++i) {
        slots[i].entities.clear();
    }
    used = 0;
}

const std::vector<Entity*>& EntityBatches::at(const Model* model) const {
    for (const EntityBatch& batch : *this) {
        if (batch.model == model) {
            return batch.entities;
        }
    }
    throw std::out_of_range("no batch for this model");
}
