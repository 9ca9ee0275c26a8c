// The show's data as datagen writes it (without the soundtrack), generated once for the
// test program in a folder removed at exit, for the tests that read it as the show does.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

class GeneratedShow : public ::testing::Test {
public:
    void SetUp() override;

    // The folder holding "Data"; the path of one of its files.
    static const std::string& folder();
    static std::string file(const std::string& name) { return folder() + "/Data/" + name; }
    // The scene change times of "Syncro.txt", in milliseconds.
    static std::vector<std::int32_t> syncTimes();
};
