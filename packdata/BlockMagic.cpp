// The block magic, held as two halves that are joined only at run time.
#include "packdata/BlockFormat.h"

namespace {

const char magicFirstHalf[] = "7E51B2A9-0C4D-4F83";
const char magicSecondHalf[] = "-9A6E-2B8D5C1F70E3";
// Read through volatile pointers, so the optimiser cannot fold the two halves
// into one 36-character constant.
const char* volatile const magicHalves[2] = {magicFirstHalf, magicSecondHalf};

}  // namespace

void JoinBlockMagic(char out[blockMagicLength])
{
    const int halfLength = blockMagicLength / 2;
    for (int half = 0; half < 2; ++half) {
        const char* text = magicHalves[half];
        for (int i = 0; i < halfLength; ++i) out[half * halfLength + i] = text[i];
    }
}
