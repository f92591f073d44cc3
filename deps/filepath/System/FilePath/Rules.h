// The POSIX path rules, written once over a string of units and used by both path types:
// `FilePath` (a character list, units are code points) and `OsPath` (native bytes). Only '/'
// separates components, a leading run of '/' is the drive, and an extension begins at the last '.'
// of the file name (so ".bashrc" is all extension).
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "rts/rts.h"

namespace System::FilePath::Rules {

using rts::Value;

template <class U>
struct Path {
    using String = std::basic_string<U>;
    using View = std::basic_string_view<U>;
    static constexpr U sep = U('/');
    static constexpr U dot = U('.');

    static String cat(View a, View b) {
        String s(a);
        s.append(b);
        return s;
    }
    // (drive, rest): the drive is the leading run of separators.
    static std::pair<View, View> splitDrive(View p) {
        size_t n = 0;
        while (n < p.size() && p[n] == sep) ++n;
        return {p.substr(0, n), p.substr(n)};
    }
    static bool isDrive(View p) { return !p.empty() && splitDrive(p).second.empty(); }
    // (directory with its trailing separator, file name), the directory possibly empty.
    static std::pair<View, View> splitFileNameRaw(View p) {
        size_t rest = splitDrive(p).first.size();
        size_t cut = p.size();
        while (cut > rest && p[cut - 1] != sep) --cut;
        return {p.substr(0, cut), p.substr(cut)};
    }
    static std::pair<String, String> splitFileName(View p) {
        auto [dir, file] = splitFileNameRaw(p);
        return {dir.empty() ? String{dot, sep} : String(dir), String(file)};
    }
    static String takeFileName(View p) { return String(splitFileNameRaw(p).second); }
    static String dropFileName(View p) { return splitFileName(p).first; }
    static String takeBaseName(View p) { return dropExtension(takeFileName(p)); }
    // (path without its last extension, the extension with its dot).
    static std::pair<String, String> splitExtension(View p) {
        auto [dir, file] = splitFileNameRaw(p);
        size_t dotAt = file.rfind(dot);
        if (dotAt == View::npos) return {String(p), String()};
        return {cat(dir, file.substr(0, dotAt)), String(file.substr(dotAt))};
    }
    // (path without any extension, every extension from the first dot of the file name).
    static std::pair<String, String> splitExtensions(View p) {
        auto [dir, file] = splitFileNameRaw(p);
        size_t dotAt = file.find(dot);
        if (dotAt == View::npos) return {String(p), String()};
        return {cat(dir, file.substr(0, dotAt)), String(file.substr(dotAt))};
    }
    static String takeExtension(View p) { return splitExtension(p).second; }
    static String dropExtension(View p) { return splitExtension(p).first; }
    static String takeExtensions(View p) { return splitExtensions(p).second; }
    static String dropExtensions(View p) { return splitExtensions(p).first; }
    static bool hasExtension(View p) { return splitFileNameRaw(p).second.find(dot) != View::npos; }
    // `addExtension p ext`: p unchanged for an empty ext, otherwise p, a dot unless ext starts with
    // one, then ext.
    static String addExtension(View p, View ext) {
        if (ext.empty()) return String(p);
        String s(p);
        if (ext[0] != dot) s.push_back(dot);
        s.append(ext);
        return s;
    }
    static String replaceExtension(View p, View ext) { return addExtension(dropExtension(p), ext); }
    // `combine a b`: b when it is absolute; otherwise a and b joined by one separator (none when
    // a is empty or ends in one; a alone when b is empty).
    static String combine(View a, View b) {
        if (!b.empty() && b[0] == sep) return String(b);
        if (a.empty()) return String(b);
        if (b.empty()) return String(a);
        String s(a);
        if (a.back() != sep) s.push_back(sep);
        s.append(b);
        return s;
    }
    // `takeDirectory p`: p without its last component and the separators before it; "." for a
    // bare file name, the drive for a path in the root.
    static String takeDirectory(View p) {
        String dir = dropFileName(p);
        if (isDrive(dir)) return dir;
        size_t end = dir.size();
        while (end > 0 && dir[end - 1] == sep) --end;
        return end == 0 ? dir : dir.substr(0, end);
    }
    static bool isAbsolute(View p) { return !p.empty() && p[0] == sep; }
};

// The operations over language values for one path type. `Codec` converts: `units(v)` gives the
// units of an evaluated path value, `value(units)` builds one.
template <class Codec>
struct PathOps {
    using P = Path<typename Codec::Unit>;
    using String = typename P::String;

    static Value pair(const std::pair<String, String>& p) {
        return rts::con(0, Codec::value(p.first), Codec::value(p.second));
    }
    static Value combine(const Value& a, const Value& b) {
        return Codec::value(P::combine(Codec::units(a), Codec::units(b)));
    }
    static Value addExtension(const Value& p, const Value& e) {
        return Codec::value(P::addExtension(Codec::units(p), Codec::units(e)));
    }
    static Value replaceExtension(const Value& p, const Value& e) {
        return Codec::value(P::replaceExtension(Codec::units(p), Codec::units(e)));
    }
    static Value splitExtension(const Value& p) { return pair(P::splitExtension(Codec::units(p))); }
    static Value splitExtensions(const Value& p) { return pair(P::splitExtensions(Codec::units(p))); }
    static Value splitFileName(const Value& p) { return pair(P::splitFileName(Codec::units(p))); }
    static Value takeExtension(const Value& p) { return Codec::value(P::takeExtension(Codec::units(p))); }
    static Value dropExtension(const Value& p) { return Codec::value(P::dropExtension(Codec::units(p))); }
    static Value takeExtensions(const Value& p) { return Codec::value(P::takeExtensions(Codec::units(p))); }
    static Value dropExtensions(const Value& p) { return Codec::value(P::dropExtensions(Codec::units(p))); }
    static Value takeDirectory(const Value& p) { return Codec::value(P::takeDirectory(Codec::units(p))); }
    static Value takeFileName(const Value& p) { return Codec::value(P::takeFileName(Codec::units(p))); }
    static Value takeBaseName(const Value& p) { return Codec::value(P::takeBaseName(Codec::units(p))); }
    static Value dropFileName(const Value& p) { return Codec::value(P::dropFileName(Codec::units(p))); }
    static bool hasExtension(const Value& p) { return P::hasExtension(Codec::units(p)); }
    static bool isAbsolute(const Value& p) { return P::isAbsolute(Codec::units(p)); }
    static bool isRelative(const Value& p) { return !P::isAbsolute(Codec::units(p)); }
};

}  // namespace System::FilePath::Rules
