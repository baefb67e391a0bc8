#include "print/pdf_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <set>

#include "platform/text.h"
#include "print/pdf_syntax.h"

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace fendal::print {

namespace {

constexpr long long kTailSize = 1024;  // "startxref" stands within the file's last kilobyte

bool seekTo(std::FILE* f, long long offset, int whence) {
#if defined(_WIN32)
    return _fseeki64(f, offset, whence) == 0;
#else
    return fseeko(f, static_cast<off_t>(offset), whence) == 0;
#endif
}

long long position(std::FILE* f) {
#if defined(_WIN32)
    return _ftelli64(f);
#else
    return static_cast<long long>(ftello(f));
#endif
}

bool isRegularFile(std::FILE* f) {
    struct stat st {};
    return fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

bool PdfFile::readAt(long long offset, long long size, std::string& out) const {
    if (!file_ || offset < 0 || size < 0 || offset > size_ || !seekTo(file_.get(), offset, SEEK_SET)) return false;
    out.resize(static_cast<std::size_t>(std::min(size, size_ - offset)));
    out.resize(std::fread(out.data(), 1, out.size(), file_.get()));
    return !std::ferror(file_.get());
}

bool PdfFile::open(const std::string& path, std::string& error) {
    path_ = path;
    // Read and updated through one handle, so the update lands in the file that was read.
    file_.reset(std::fopen(path.c_str(), "r+b"));
    if (!file_) {
        error = "cannot open " + path;
        return false;
    }
    if (!isRegularFile(file_.get())) {
        file_.reset();
        error = path + " is not a file";
        return false;
    }
    if (!seekTo(file_.get(), 0, SEEK_END) || (size_ = position(file_.get())) < 0) {
        error = "cannot read " + path;
        return false;
    }
    std::string tail;
    const long long tailAt = std::max(0LL, size_ - kTailSize);
    if (!readAt(tailAt, size_ - tailAt, tail)) {
        error = "cannot read " + path;
        return false;
    }
    const auto at = tail.rfind("startxref");
    const auto xref = at == std::string::npos ? std::nullopt : pdf::number(pdf::Lexer(tail, at + 9).next().text);
    if (!xref || *xref < 0 || *xref >= size_) {
        error = path + " is not a PDF file";
        return false;
    }
    lastSection_ = *xref;

    // Newer sections come first and hide what older ones say about the same object.
    std::map<long long, Object> entries;
    std::set<long long> sections;
    for (std::optional<long long> section = lastSection_; section;) {
        if (!sections.insert(*section).second || *section < 0 || *section >= size_) {
            error = path + ": broken chain of cross-reference sections";
            return false;
        }
        std::string trailer;
        if (!readSection(*section, entries, trailer, error)) return false;
        if (trailer_.empty()) trailer_ = trailer;
        const auto prev = pdf::dictValue(trailer, "/Prev");
        section = prev ? pdf::number(*prev) : std::nullopt;
    }

    std::vector<long long> bounds(sections.begin(), sections.end());
    for (const auto& [number, object] : entries)
        if (object.offset > 0) objects_.push_back(object);
    for (const auto& o : objects_) bounds.push_back(o.offset);
    bounds.push_back(size_);
    std::sort(bounds.begin(), bounds.end());
    std::sort(objects_.begin(), objects_.end(), [](const Object& a, const Object& b) { return a.offset < b.offset; });
    for (std::size_t i = 0; i < objects_.size(); ++i) {
        Object& o = objects_[i];
        o.room = *std::upper_bound(bounds.begin(), bounds.end(), o.offset) - o.offset;
        byNumber_[o.number] = i;
    }
    return true;
}

// "xref", then subsections "first count" of 20-byte entries "offset generation n|f", then
// "trailer" and its dictionary. Free entries are kept with offset 0, so that older sections
// cannot bring the object back.
bool PdfFile::readSection(long long offset, std::map<long long, Object>& entries, std::string& trailer,
                          std::string& error) {
    std::string text;
    readAt(offset, size_ - offset, text);
    pdf::Lexer lex(text);
    pdf::Token t = lex.next();
    if (t.kind != pdf::Token::Keyword || t.text != "xref") {
        error = path_ + " has no cross-reference table where its trailer says (a compressed one is not read)";
        return false;
    }
    for (;;) {
        t = lex.next();
        if (t.kind == pdf::Token::Keyword && t.text == "trailer") {
            const std::string_view rest = std::string_view(text).substr(lex.position());
            const std::size_t begin = rest.find("<<");
            const std::size_t end = begin == std::string_view::npos ? begin : pdf::dictEnd(rest.substr(begin));
            if (end == std::string_view::npos) break;
            trailer = std::string(rest.substr(begin, end));
            return true;
        }
        const auto first = pdf::number(t.text);
        const auto count = pdf::number(lex.next().text);
        if (t.kind != pdf::Token::Number || !first || !count || *first < 0 || *count < 0) break;
        long long k = 0;
        for (; k < *count; ++k) {
            const auto at = pdf::number(lex.next().text);
            const auto generation = pdf::number(lex.next().text);
            const pdf::Token use = lex.next();
            if (!at || !generation || (use.text != "n" && use.text != "f")) break;
            const long long number = *first + k;
            if (!entries.count(number)) entries[number] = {number, *generation, use.text == "n" ? *at : 0, 0};
        }
        if (k < *count) break;
    }
    error = path_ + ": damaged cross-reference table";
    return false;
}

const PdfFile::Object* PdfFile::find(long long number) const {
    const auto it = byNumber_.find(number);
    return it == byNumber_.end() ? nullptr : &objects_[it->second];
}

std::optional<std::string> PdfFile::body(const Object& object, long long maxRoom) const {
    if (object.room > maxRoom) return std::nullopt;
    std::string text;
    if (!readAt(object.offset, object.room, text)) return std::nullopt;
    pdf::Lexer lex(text);
    const auto number = pdf::number(lex.next().text);
    const auto generation = pdf::number(lex.next().text);
    const pdf::Token obj = lex.next();
    if (number != object.number || generation != object.generation || obj.text != "obj") return std::nullopt;
    std::size_t end = text.rfind("endobj");
    if (end == std::string::npos || end < lex.position()) end = text.size();
    return text.substr(lex.position(), end - lex.position());
}

std::optional<std::string> PdfFile::streamData(const std::string& stored) const {
    const std::size_t start = stored.find("<<");
    if (start == std::string::npos) return std::nullopt;
    const std::string_view dict = std::string_view(stored).substr(start);
    const std::size_t end = pdf::dictEnd(dict);
    if (end == std::string_view::npos || pdf::dictValue(dict, "/Filter")) return std::nullopt;
    const auto lengthValue = pdf::dictValue(dict, "/Length");
    if (!lengthValue) return std::nullopt;
    std::optional<long long> length = pdf::number(*lengthValue);
    if (const auto ref = pdf::reference(*lengthValue)) {
        const Object* o = find(*ref);
        const auto lengthBody = o ? body(*o, 1024) : std::nullopt;
        if (lengthBody) length = pdf::number(pdf::Lexer(*lengthBody).next().text);
    }
    pdf::Lexer lex(stored, start + end);
    const pdf::Token keyword = lex.next();
    if (!length || *length < 0 || keyword.text != "stream") return std::nullopt;
    std::size_t data = lex.position();
    if (stored.compare(data, 2, "\r\n") == 0)
        data += 2;
    else if (stored.compare(data, 1, "\n") == 0)
        data += 1;
    if (data + static_cast<std::size_t>(*length) > stored.size()) return std::nullopt;
    return stored.substr(data, static_cast<std::size_t>(*length));
}

bool PdfFile::appendUpdate(const std::map<long long, std::string>& bodies, std::string& error) {
    if (bodies.empty()) return true;
    std::string out;
    std::string last;
    readAt(size_ - 1, 1, last);
    if (last != "\n") out += '\n';
    std::map<long long, std::pair<long long, long long>> placed;  // number -> offset, generation
    for (const auto& [number, body] : bodies) {
        const Object* o = find(number);
        if (!o) {
            error = platform::text::format("%s has no object %lld to update", path_.c_str(), number);
            return false;
        }
        placed[number] = {size_ + static_cast<long long>(out.size()), o->generation};
        out += platform::text::format("%lld %lld obj\n", number, o->generation) + body + "\nendobj\n";
    }

    const long long xref = size_ + static_cast<long long>(out.size());
    out += "xref\n";
    for (auto it = placed.begin(); it != placed.end();) {
        auto run = it;
        long long n = 0;
        while (run != placed.end() && run->first == it->first + n) ++run, ++n;
        out += platform::text::format("%lld %lld\n", it->first, n);
        for (; it != run; ++it)
            out += platform::text::format("%010lld %05lld n \n", it->second.first, it->second.second);
    }
    out += "trailer\n<<\n";
    const auto entries = pdf::dictEntries(trailer_);
    for (const auto& e : entries.value_or(std::vector<pdf::DictEntry>{}))
        if (e.key != "/Prev") out += std::string(e.key) + " " + std::string(e.value) + "\n";
    out += platform::text::format("/Prev %lld\n>>\nstartxref\n%lld\n%%%%EOF\n", lastSection_, xref);

    std::FILE* f = file_.get();
    bool ok = f && seekTo(f, size_, SEEK_SET) && std::fwrite(out.data(), 1, out.size(), f) == out.size() &&
              std::fflush(f) == 0;
#if !defined(_WIN32)
    ok = ok && ::fsync(fileno(f)) == 0;
#endif
    ok = f && std::fclose(file_.release()) == 0 && ok;
    if (!ok) {
        error = "cannot write " + path_;
        return false;
    }
    size_ += static_cast<long long>(out.size());
    return true;
}

}  // namespace fendal::print
