#include "station/frameparser.h"

#include "station/wireformat.h"

bool FrameParser::takeFrame(QByteArray* frame)
{
    if (m_buffer.size() < Wire::FrameHeaderSize)
        return false;
    const int size = Wire::FrameHeaderSize + Wire::getU16(m_buffer.constData() + 2);
    if (size > m_buffer.size())
        return false;
    *frame = m_buffer.left(size);
    m_buffer.remove(0, size);
    return true;
}

quint16 FrameParser::code(const QByteArray& frame)
{
    return Wire::getU16(frame.constData());
}
