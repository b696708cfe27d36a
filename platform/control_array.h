#pragma once
// A control array: controls addressed by name and index, keeping the design
// indices (an array may start at 1, or hold only elements 0, 5 and 6).
#include <map>

template <typename T>
class ControlArray {
public:
    T* operator()(int index) const { return items_.at(index); }
    void set(int index, T* item) { items_[index] = item; }
    bool contains(int index) const { return items_.count(index) != 0; }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }
    int size() const { return static_cast<int>(items_.size()); }

private:
    std::map<int, T*> items_;
};
