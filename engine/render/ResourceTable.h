// A fixed-size table of owned engine objects (textures, materials, vertex programs)
// referred to by index, -1 meaning none. It owns the objects it holds; it never creates
// them (the device's factories do). T needs `name()` (every Resource has it). The table
// keeps each entry's use count: insertion takes the first free entry and hands out one
// reference, a name hit or acquire one more, release gives one back; the free-slot hint
// is the lowest empty index after an insertion, -1 when the table is full.
#pragma once

#include <string_view>
#include <vector>

template <typename T>
class ResourceTable {
public:
    explicit ResourceTable(int capacity) : entries_(static_cast<size_t>(capacity), nullptr), counts_(static_cast<size_t>(capacity), 0) {}
    ~ResourceTable() = default; // the objects are destroyed by clear(), never here
    ResourceTable(const ResourceTable&) = delete;
    ResourceTable& operator=(const ResourceTable&) = delete;

    int capacity() const { return static_cast<int>(entries_.size()); }
    int firstFree() const { return firstFree_; }
    bool contains(int index) const { return index >= 0 && index < capacity(); }
    // The object at index; null for an empty entry or an index outside the table.
    T* get(int index) const { return contains(index) ? entries_[static_cast<size_t>(index)] : nullptr; }
    // References handed out on the entry at index; 0 for an empty entry.
    int useCount(int index) const { return get(index) ? counts_[static_cast<size_t>(index)] : 0; }
    // Number of occupied entries.
    int count() const
    {
        int n = 0;
        for (T* e : entries_)
            n += e != nullptr;
        return n;
    }

    // Places object (owned from now on) in the first free entry, raises its useCount and
    // returns the index. A null object or a full table destroys the object and gives -1.
    int insert(T* object)
    {
        if (!object)
            return -1;
        if (firstFree_ < 0) {
            delete object;
            return -1;
        }
        const int index = firstFree_;
        entries_[static_cast<size_t>(index)] = object;
        counts_[static_cast<size_t>(index)] = 1;
        firstFree_ = lowestEmpty();
        return index;
    }

    // Index of the first entry whose name equals name exactly (no reference taken), -1
    // when none or when name is empty.
    int find(std::string_view name) const
    {
        if (name.empty())
            return -1;
        for (size_t i = 0; i < entries_.size(); ++i)
            if (entries_[i] && entries_[i]->name() == name)
                return static_cast<int>(i);
        return -1;
    }

    // Hands out one more reference on the entry at index; false for an empty entry.
    bool acquire(int index)
    {
        if (!get(index))
            return false;
        ++counts_[static_cast<size_t>(index)];
        return true;
    }

    // Gives back one reference: useCount drops when above 0; at 0 or less the object is
    // destroyed, its entry emptied and its index becomes the free-slot hint. Returns true
    // when the object was destroyed.
    bool release(int index)
    {
        T* e = get(index);
        if (!e)
            return false;
        int& count = counts_[static_cast<size_t>(index)];
        if (count > 0)
            --count;
        if (count > 0)
            return false;
        delete e;
        entries_[static_cast<size_t>(index)] = nullptr;
        firstFree_ = index;
        return true;
    }

    // Destroys every object and empties every entry.
    void clear()
    {
        for (T*& e : entries_) {
            delete e;
            e = nullptr;
        }
        for (int& c : counts_)
            c = 0;
        firstFree_ = entries_.empty() ? -1 : 0;
    }

private:
    int lowestEmpty() const
    {
        for (size_t i = 0; i < entries_.size(); ++i)
            if (!entries_[i])
                return static_cast<int>(i);
        return -1;
    }

    std::vector<T*> entries_;
    std::vector<int> counts_;
    int firstFree_ = 0;
};
