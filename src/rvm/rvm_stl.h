// The game's standard containers, whose blocks over 128 bytes come from the general heap.
#pragma once
#include <deque>
#include <functional>
#include <list>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "rvm/Heap.h"

namespace rvm {

template <class T>
using vector = std::vector<T, rvm_allocator<T>>;
template <class T>
using list = std::list<T, rvm_allocator<T>>;
template <class T>
using deque = std::deque<T, rvm_allocator<T>>;
template <class K, class V, class Less = std::less<K>>
using map = std::map<K, V, Less, rvm_allocator<std::pair<const K, V>>>;
template <class K, class Less = std::less<K>>
using set = std::set<K, Less, rvm_allocator<K>>;
template <class K, class V, class Hash = std::hash<K>, class Eq = std::equal_to<K>>
using unordered_map = std::unordered_map<K, V, Hash, Eq, rvm_allocator<std::pair<const K, V>>>;
template <class K, class Hash = std::hash<K>, class Eq = std::equal_to<K>>
using unordered_set = std::unordered_set<K, Hash, Eq, rvm_allocator<K>>;
typedef std::basic_string<char, std::char_traits<char>, rvm_allocator<char>> string;

} // namespace rvm

// The standard library hashes only its own strings; ours hash as their characters do.
template <>
struct std::hash<rvm::string> {
    size_t operator()(const rvm::string& s) const noexcept { return std::hash<std::string_view>()(s); }
};
