// GBK conversion through iconv (glibc on Linux).
#include "platform/text.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace fendal::platform {

namespace text {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts the input; onInvalid decides what to do at an unconvertible byte:
    // it appends a replacement and returns true to skip the byte, or returns false to give up.
    template <typename OnInvalid>
    std::optional<std::string> run(std::string_view in, OnInvalid onInvalid) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
        std::string out;
        std::vector<char> buf(in.size() * 4 + 16);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        while (srcLeft > 0) {
            char* dst = buf.data();
            size_t dstLeft = buf.size();
            size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buf.data(), dst - buf.data());
            if (r != static_cast<size_t>(-1)) break;
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL (a cut sequence at the end)
            if (!onInvalid(out)) return std::nullopt;
            ++src;
            --srcLeft;
        }
        return out;
    }

private:
    iconv_t cd_;
};

}  // namespace

std::string gbkToUtf8(std::string_view gbk) {
    Converter c("UTF-8", "GBK");
    auto r = c.run(gbk, [](std::string& out) {
        out += "\xEF\xBF\xBD";
        return true;
    });
    return r ? *r : std::string();
}

std::optional<std::string> gbkToUtf8Exact(std::string_view gbk) {
    Converter c("UTF-8", "GBK");
    return c.run(gbk, [](std::string&) { return false; });
}

std::optional<std::string> utf8ToGbk(std::string_view utf8) {
    Converter c("GBK", "UTF-8");
    return c.run(utf8, [](std::string&) { return false; });
}

}  // namespace text

}  // namespace fendal::platform
