// zel/stringl/scramble.h — a light, reversible scrambling of text.
//
// Characters of code 1..255 are replaced through a permutation of 1..255
// built from a seed; code 0 and characters above 255 pass unchanged, so
// DeScramble(Scramble(S)) == S for every string and the length never
// changes.  This hides text from casual reading; it is not encryption.
//
//   zel::String hidden = zel::Scramble(u"secret");
//   zel::DeScramble(hidden) == u"secret";
//   zel::InitScramble(42);          // another permutation from now on
//
// The permutation is process-wide.  When the library is loaded it is built
// from the seed 5261.  `InitScramble` reseeds the process-wide generator of
// zel/platform/random.h (and so changes its sequence for every user), and
// must not run while other threads scramble or descramble.  The permutation
// for a seed is fixed by that generator, so texts scrambled with another
// implementation's generator do not descramble here.
#ifndef ZEL_STRINGL_SCRAMBLE_H_
#define ZEL_STRINGL_SCRAMBLE_H_

#include <cstdint>

#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

// Seeds the generator with `Seed` and builds the permutation: for codes
// 1..255 in turn, codes in 1..255 are drawn until one not yet taken comes.
void InitScramble(int32_t Seed);

String Scramble(StringView S);
String DeScramble(StringView S);

}  // namespace zel

#endif  // ZEL_STRINGL_SCRAMBLE_H_
