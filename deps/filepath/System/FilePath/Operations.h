// The path operations of one path type as names of the including namespace, whose `Ops` is that
// type's Rules::PathOps. Included, without an include guard, once in the namespace of each path
// type (System/FilePath/Posix.h, System/OsPath/Posix.h).
// `combine` (also `</>`), `addExtension` (also `<.>`), `replaceExtension` (also `-<.>`): two paths.
inline constexpr auto combine = &Ops::combine;
inline constexpr auto op_lt_slash_gt = &Ops::combine;
inline constexpr auto addExtension = &Ops::addExtension;
inline constexpr auto op_lt_dot_gt = &Ops::addExtension;
inline constexpr auto replaceExtension = &Ops::replaceExtension;
inline constexpr auto op_minus_lt_dot_gt = &Ops::replaceExtension;
// Pairs `(,)` of two paths.
inline constexpr auto splitExtension = &Ops::splitExtension;
inline constexpr auto splitExtensions = &Ops::splitExtensions;
inline constexpr auto splitFileName = &Ops::splitFileName;
// One path.
inline constexpr auto takeExtension = &Ops::takeExtension;
inline constexpr auto dropExtension = &Ops::dropExtension;
inline constexpr auto takeExtensions = &Ops::takeExtensions;
inline constexpr auto dropExtensions = &Ops::dropExtensions;
inline constexpr auto takeDirectory = &Ops::takeDirectory;
inline constexpr auto takeFileName = &Ops::takeFileName;
inline constexpr auto takeBaseName = &Ops::takeBaseName;
inline constexpr auto dropFileName = &Ops::dropFileName;
inline constexpr auto hasExtension = &Ops::hasExtension;
inline constexpr auto isAbsolute = &Ops::isAbsolute;
inline constexpr auto isRelative = &Ops::isRelative;
