// libFuzzer target: SequenceFile on arbitrary text.

#include "survey/sequence.h"
#include "survey/sequencefile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SequenceFile file;
    if (file.parse(QByteArray(reinterpret_cast<const char*>(data), int(size)))) {
        // Whatever loads must also group into steps.
        Sequence sequence(10);
        sequence.build(file.lines(), true);
        while (sequence.takeNext()) {
        }
    }
    return 0;
}
