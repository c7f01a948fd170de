#ifndef FAKESTATION_H
#define FAKESTATION_H

#include "station/frameparser.h"

#include <QByteArray>
#include <QHostAddress>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

// A scripted station on loopback: it records what the program writes and sends only what the
// test tells it to, so replies the real station never sends (short or unknown frames) can be
// played.
class FakeStation : public QObject
{
    Q_OBJECT
public:
    FakeStation()
    {
        m_command.listen(QHostAddress::LocalHost, 0);
        m_data.listen(QHostAddress::LocalHost, 0);
        connect(&m_command, &QTcpServer::newConnection, this, [this] {
            m_client = m_command.nextPendingConnection();
            m_parser.clear();
            m_rawBytes.clear();
            connect(m_client, &QTcpSocket::readyRead, this, [this, socket = m_client] {
                const QByteArray bytes = socket->readAll();
                m_rawBytes.append(bytes);
                m_parser.append(bytes);
                QByteArray frame;
                while (m_parser.takeFrame(&frame)) {
                    m_frames.append(frame);
                    m_events.append(QStringLiteral("frame %1").arg(FrameParser::code(frame), 4, 16, QLatin1Char('0')));
                }
            });
            m_events.append(QStringLiteral("command connected"));
        });
        connect(&m_data, &QTcpServer::newConnection, this, [this] {
            m_dataClient = m_data.nextPendingConnection();
            ++m_dataConnections;
            m_events.append(QStringLiteral("data connected"));
            connect(m_dataClient, &QTcpSocket::disconnected, this, [this] { ++m_dataClosed; });
        });
    }

    quint16 commandPort() const { return m_command.serverPort(); }
    quint16 dataPort() const { return m_data.serverPort(); }

    void send(const QByteArray& bytes)
    {
        m_client->write(bytes);
        m_client->flush();
    }
    void sendData(const QByteArray& bytes)
    {
        m_dataClient->write(bytes);
        m_dataClient->flush();
    }
    void closeData() { m_dataClient->disconnectFromHost(); }

    QTcpSocket* client() const { return m_client; }
    QTcpSocket* dataClient() const { return m_dataClient; }
    QByteArray rawBytes() const { return m_rawBytes; }
    QList<QByteArray> frames() const { return m_frames; }
    QList<quint16> codes() const
    {
        QList<quint16> out;
        for (const QByteArray& f : m_frames)
            out.append(FrameParser::code(f));
        return out;
    }
    int count(quint16 code) const { return codes().count(code); }
    QStringList events() const { return m_events; }
    int dataConnections() const { return m_dataConnections; }
    int dataClosed() const { return m_dataClosed; }
    void clearLog()
    {
        m_frames.clear();
        m_events.clear();
    }

private:
    QTcpServer m_command;
    QTcpServer m_data;
    QPointer<QTcpSocket> m_client;
    QPointer<QTcpSocket> m_dataClient;
    FrameParser m_parser;
    QByteArray m_rawBytes;
    QList<QByteArray> m_frames;
    QStringList m_events;
    int m_dataConnections = 0;
    int m_dataClosed = 0;
};

#endif
