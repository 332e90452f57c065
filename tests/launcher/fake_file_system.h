// An in-memory directory tree behind the launcher's file operations. It logs every call as a
// line of text, can make any single call fail, and lists directories in whatever order a test
// chooses; it behaves as the Windows calls do where the launch logic depends on it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "file_system.h"
#include "file_tree.h"

class FakeFileSystem : public FileSystem {
public:
    // Receives a directory's entry names, sorted, and returns them in listing order; "." and
    // ".." appear where the returned list puts them, or not at all.
    using ListingOrder = std::function<std::vector<std::string>(std::vector<std::string>)>;

    static std::vector<std::string> DotsFirst(std::vector<std::string> names) {
        names.insert(names.begin(), {".", ".."});
        return names;
    }

    explicit FakeFileSystem(const FileTree& tree = {}) {
        for (const auto& [path, bytes] : WithParents(tree)) {
            nodes_[path] = Node{!bytes.has_value(), bytes.value_or(""), false};
        }
    }

    // Makes the directory at path a junction: listed like any directory, flagged as a reparse
    // point.
    void MarkReparsePoint(const std::string& path) { nodes_.at(path).reparsePoint = true; }

    // Every call whose log line is exactly this fails, without any effect.
    void FailCall(const std::string& line) { failingLines_.insert(line); }
    // The call with this number, counting all calls from 1, fails without any effect.
    void FailCallNumber(int number) { failingNumbers_.insert(number); }

    ListingOrder listingOrder = DotsFirst;

    FileTree Contents() const {
        FileTree tree;
        for (const auto& [path, node] : nodes_) {
            tree[path] = node.directory ? kDirectory : std::optional<std::string>(node.bytes);
        }
        return tree;
    }
    const std::vector<std::string>& Log() const { return log_; }
    std::size_t OpenListings() const { return listings_.size(); }
    std::size_t LongestPath() const { return longestPath_; }

    ListingHandle OpenListing(const char* pattern, DirectoryEntry& entry) override {
        if (!Begin("list", pattern)) {
            return kNoListing;
        }
        std::string directory = pattern;
        if (directory.empty() || directory.back() != '*') {
            ADD_FAILURE() << "listing pattern without \"*\": " << pattern;
            return kNoListing;
        }
        directory.pop_back();
        const std::string key = Key(directory);
        if (!IsDirectory(key)) {
            return kNoListing;
        }
        Listing listing{pattern, listingOrder(ChildNames(key)), 0, key};
        if (listing.names.empty()) {
            return kNoListing;
        }
        const int id = nextListing_++;
        listings_[id] = listing;
        Fill(listings_[id], entry);
        return reinterpret_cast<ListingHandle>(static_cast<std::intptr_t>(id));
    }

    bool NextEntry(ListingHandle handle, DirectoryEntry& entry) override {
        Listing* listing = Find(handle);
        if (listing == nullptr || !Begin("next", listing->pattern)) {
            return false;
        }
        if (listing->position + 1 >= listing->names.size()) {
            return false;
        }
        ++listing->position;
        Fill(*listing, entry);
        return true;
    }

    void CloseListing(ListingHandle handle) override {
        Listing* listing = Find(handle);
        if (listing == nullptr) {
            return;
        }
        Begin("close", listing->pattern);
        listings_.erase(static_cast<int>(reinterpret_cast<std::intptr_t>(handle)));
    }

    bool CopyReplacing(const char* source, const char* destination) override {
        if (!Begin("copy", std::string(source) + " -> " + destination, {source, destination})) {
            return false;
        }
        const std::string from = Key(source);
        const std::string to = Key(destination);
        const auto file = nodes_.find(from);
        if (file == nodes_.end() || file->second.directory || !IsDirectory(ParentOf(to)) ||
            IsDirectory(to)) {
            return false;
        }
        nodes_[to] = Node{false, file->second.bytes, false};
        return true;
    }

    bool RemoveFile(const char* path) override {
        if (!Begin("delete", path)) {
            return false;
        }
        const auto file = nodes_.find(Key(path));
        if (file == nodes_.end() || file->second.directory) {
            return false;
        }
        nodes_.erase(file);
        return true;
    }

    bool MakeDirectory(const char* path) override {
        if (!Begin("mkdir", path)) {
            return false;
        }
        const std::string key = Key(path);
        if (key.empty() || nodes_.count(key) != 0 || !IsDirectory(ParentOf(key))) {
            return false;
        }
        nodes_[key] = Node{true, "", false};
        return true;
    }

    bool RemoveEmptyDirectory(const char* path) override {
        if (!Begin("rmdir", path)) {
            return false;
        }
        const std::string key = Key(path);
        if (key.empty() || !IsDirectory(key) || !ChildNames(key).empty()) {
            return false;
        }
        nodes_.erase(key);
        return true;
    }

private:
    struct Node {
        bool directory;
        std::string bytes;
        bool reparsePoint;
    };
    struct Listing {
        std::string pattern;
        std::vector<std::string> names;
        std::size_t position;
        std::string directory;
    };

    // Logs the call and checks the length of its paths; false when the call is to fail on
    // purpose.
    bool Begin(const char* operation, const std::string& subject,
               const std::vector<std::string>& paths = {}) {
        const std::string line = std::string(operation) + " " + subject;
        log_.push_back(line);
        ++calls_;
        for (const std::string& path : paths.empty() ? std::vector<std::string>{subject} : paths) {
            longestPath_ = std::max(longestPath_, path.size());
            EXPECT_LT(path.size(), kPathBufferSize) << line;
        }
        return failingLines_.count(line) == 0 && failingNumbers_.count(calls_) == 0;
    }

    // ".\a\b\" and "a\b" name the same node "a\b"; ".\" and "" name the working directory.
    static std::string Key(std::string path) {
        while (path.compare(0, 2, ".\\") == 0) {
            path.erase(0, 2);
        }
        if (path == ".") {
            path.clear();
        }
        while (!path.empty() && path.back() == '\\') {
            path.pop_back();
        }
        return path;
    }

    bool IsDirectory(const std::string& key) const {
        if (key.empty()) {
            return true;
        }
        const auto node = nodes_.find(key);
        return node != nodes_.end() && node->second.directory;
    }

    std::vector<std::string> ChildNames(const std::string& directory) const {
        std::vector<std::string> names;
        for (const auto& [path, node] : nodes_) {
            if (ParentOf(path) == directory) {
                names.push_back(directory.empty() ? path : path.substr(directory.size() + 1));
            }
        }
        return names;
    }

    void Fill(const Listing& listing, DirectoryEntry& entry) const {
        const std::string& name = listing.names[listing.position];
        std::uint32_t attributes = 0x20; // archive
        if (name == "." || name == "..") {
            attributes = kFileAttributeDirectory;
        } else {
            const std::string key =
                listing.directory.empty() ? name : listing.directory + "\\" + name;
            const auto node = nodes_.find(key);
            if (node != nodes_.end() && node->second.directory) {
                attributes = kFileAttributeDirectory;
            }
            if (node != nodes_.end() && node->second.reparsePoint) {
                attributes |= kFileAttributeReparsePoint;
            }
            if (name[0] == '.') {
                attributes |= 0x2; // hidden, as Wine reports a name that begins with a dot
            }
        }
        EXPECT_LT(name.size(), sizeof entry.name);
        std::snprintf(entry.name, sizeof entry.name, "%s", name.c_str());
        entry.attributes = attributes;
    }

    Listing* Find(ListingHandle handle) {
        const auto listing =
            listings_.find(static_cast<int>(reinterpret_cast<std::intptr_t>(handle)));
        if (listing == listings_.end()) {
            ADD_FAILURE() << "call on a listing that is not open";
            return nullptr;
        }
        return &listing->second;
    }

    std::map<std::string, Node> nodes_;
    std::map<int, Listing> listings_;
    int nextListing_ = 1;
    std::vector<std::string> log_;
    int calls_ = 0;
    std::set<std::string> failingLines_;
    std::set<int> failingNumbers_;
    std::size_t longestPath_ = 0;
};
