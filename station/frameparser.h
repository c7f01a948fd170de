#ifndef FRAMEPARSER_H
#define FRAMEPARSER_H

#include <QByteArray>

// Cuts complete frames {u16 code, u16 length, payload} out of the bytes of the command
// connection; an incomplete frame stays buffered until its remaining bytes arrive.
class FrameParser
{
public:
    void append(const QByteArray& bytes) { m_buffer.append(bytes); }
    // Takes the next complete frame, header included, into *frame; false when none is complete.
    bool takeFrame(QByteArray* frame);
    void clear() { m_buffer.clear(); }
    int bufferedBytes() const { return m_buffer.size(); }

    static quint16 code(const QByteArray& frame);

private:
    QByteArray m_buffer;
};

#endif
