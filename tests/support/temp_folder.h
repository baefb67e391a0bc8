#pragma once
// A fresh folder for one test, removed afterwards.
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

class TempFolder {
public:
    TempFolder() {
        auto base = std::filesystem::temp_directory_path() / "fendal-test";
        std::filesystem::create_directories(base);
        // A name no one else holds: creating the folder is the test, as mkdtemp does it.
        std::random_device seed;
        std::mt19937 random(seed());
        do {
            path_ = base / std::to_string(random());
        } while (!std::filesystem::create_directory(path_));
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::replace);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // In the system's own spelling: on Windows a/b becomes a\\b, as the program writes it.
    std::string file(const std::string& name) const { return (path_ / name).make_preferred().string(); }
    const std::filesystem::path& path() const { return path_; }

    static std::vector<unsigned char> readAll(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void writeAll(const std::string& p, const std::vector<unsigned char>& bytes) {
        std::ofstream out(p, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

private:
    std::filesystem::path path_;
};
