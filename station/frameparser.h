#ifndef FRAMEPARSER_H
#define FRAMEPARSER_H

#include <QByteArray>

// Cuts complete frames {u16 code, u16 length, payload} out of the bytes of the command
// connection; an incomplete frame stays buffered until its remaining bytes arrive.
class FrameParser
{
public:
    // Drops the frames already taken before appending, so the buffer is shifted once per read
    // rather than once per frame.
    void append(const QByteArray& bytes);
    // Takes the next complete frame, header included, into *frame; false when none is complete.
    bool takeFrame(QByteArray* frame);
    void clear();
    int bufferedBytes() const { return m_buffer.size() - m_offset; }

    static quint16 code(const QByteArray& frame);

private:
    QByteArray m_buffer;
    // Start of the first frame not taken yet.
    int m_offset = 0;
};

#endif
