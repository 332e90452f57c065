// A directory tree as tests write it down: each path, relative to the working directory with
// backslashes and without ".\", maps to a file's bytes, or to kDirectory for a directory.
#pragma once

#include <map>
#include <optional>
#include <string>

using FileTree = std::map<std::string, std::optional<std::string>>;

inline const std::optional<std::string> kDirectory;

inline std::string ParentOf(const std::string& path) {
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The tree with every directory that holds an entry written down too, so that a tree given by
// its files and empty directories compares equal to a full listing.
inline FileTree WithParents(FileTree tree) {
    FileTree parents;
    for (const auto& [path, bytes] : tree) {
        for (std::string parent = ParentOf(path); !parent.empty(); parent = ParentOf(parent)) {
            parents.emplace(parent, kDirectory);
        }
    }
    tree.insert(parents.begin(), parents.end());
    return tree;
}
