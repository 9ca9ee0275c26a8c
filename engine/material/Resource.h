// Resource: the root of the engine's named objects (textures, materials, vertex
// programs). It owns only the name; what the name refers to (a file, a table entry) is
// the business of the derived class. Not copyable: derived objects own GPU names.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class Resource {
public:
    Resource() = default;
    explicit Resource(std::string_view name) : name_(name) {}
    // The only virtual operation; frees the name.
    virtual ~Resource() = default;

    Resource(const Resource&) = delete;
    Resource& operator=(const Resource&) = delete;

    // The name as stored; empty for objects made without a file (textures from images).
    const std::string& name() const { return name_; }
    std::size_t nameLength() const { return name_.size(); }
    // Replaces the owned name with a copy of name.
    void setName(std::string_view name) { name_.assign(name.data(), name.size()); }

private:
    std::string name_;
};
