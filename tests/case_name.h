// Names for parameterised cases, made from each row's `name` field.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

inline std::string CaseName(const std::string& text) {
  std::string s = text;
  for (char& c : s)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return s;
}

struct ByCaseName {
  template <class Row>
  std::string operator()(const ::testing::TestParamInfo<Row>& row) const {
    return CaseName(row.param.name);
  }
};
