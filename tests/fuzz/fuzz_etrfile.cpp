// libFuzzer target: the .etr loader with its calculation pass and the block scan of the survey
// continuation, on arbitrary bytes.

#include "etr/etrfile.h"
#include "survey/etrformat.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char*>(data), int(size));
    EtrFormat::Scan scan;
    QString error;
    EtrFormat::scan(content.constData(), content.size(), &scan, &error);

    EtrFile file;
    file.parse(content);
    return 0;
}
