#include "a11y/host.h"

namespace ovra {

void AccessHost::publish(AccTree tree) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!connected_) return;
    for (AccNode& node : tree.nodes) {
        const auto found = ids_.emplace(node.key, nextId_);
        if (found.second) ++nextId_;
        node.id = found.first->second;
    }
    tree_ = std::make_shared<const AccTree>(std::move(tree));
}

std::shared_ptr<const AccTree> AccessHost::tree() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return tree_;
}

void AccessHost::disconnect() {
    std::lock_guard<std::mutex> lock(mutex_);
    tree_.reset();
    connected_ = false;
}

int nodeById(const AccTree& tree, long id) {
    for (size_t i = 0; i < tree.nodes.size(); ++i)
        if (tree.nodes[i].id == id) return static_cast<int>(i);
    return -1;
}

} // namespace ovra
