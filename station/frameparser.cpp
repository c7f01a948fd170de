#include "station/frameparser.h"

#include "station/wireformat.h"

void FrameParser::append(const QByteArray& bytes)
{
    if (m_offset > 0) {
        m_buffer.remove(0, m_offset);
        m_offset = 0;
    }
    m_buffer.append(bytes);
}

bool FrameParser::takeFrame(QByteArray* frame)
{
    const int available = m_buffer.size() - m_offset;
    if (available < Wire::FrameHeaderSize)
        return false;
    const char* start = m_buffer.constData() + m_offset;
    const int size = Wire::FrameHeaderSize + Wire::getU16(start + 2);
    if (size > available)
        return false;
    *frame = QByteArray(start, size);
    m_offset += size;
    if (m_offset == m_buffer.size()) {
        // Everything taken: reuse the allocation for the next read.
        m_buffer.resize(0);
        m_offset = 0;
    }
    return true;
}

void FrameParser::clear()
{
    m_buffer.clear();
    m_offset = 0;
}

quint16 FrameParser::code(const QByteArray& frame)
{
    return Wire::getU16(frame.constData());
}
