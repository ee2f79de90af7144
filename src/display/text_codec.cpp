#include "text_codec.h"

#include <QStringDecoder>

#include "subtitle_font.h"

namespace captivo {

const Script kScripts[14] = {
    {"Western", 1252},    {"Central European", 1250},
    {"Cyrillic", 1251},   {"Greek", 1253},
    {"Turkish", 1254},    {"Hebrew", 1255},
    {"Arabic", 1256},     {"Baltic", 1257},
    {"Vietnamese", 1258}, {"Thai", 874},
    {"Japanese", 932},    {"Chinese Simplified", 936},
    {"Korean", 949},      {"Chinese Traditional", 950},
};

namespace {

const char* CodecName(int codePage) {
  switch (codePage) {
    case 874:
      return "windows-874";
    case 932:
      return "Shift_JIS";
    case 936:
      return "GBK";
    case 949:
      return "windows-949";
    case 950:
      return "Big5";
    default:
      return nullptr;
  }
}

}  // namespace

QString DecodeSubtitleText(std::string_view bytes, int codePage, const QByteArray& detected) {
  const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
  bool ascii = true;
  for (char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) return QString::fromLatin1(view);
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString asUtf8 = utf8.decode(view);
  if (!utf8.hasError()) return asUtf8;
  const QByteArray name = !detected.isEmpty() && codePage == kWesternCodePage ? detected
                          : CodecName(codePage) ? QByteArray(CodecName(codePage))
                                                : "windows-" + QByteArray::number(codePage);
  QStringDecoder decoder(name.constData());
  if (!decoder.isValid()) return QString::fromLatin1(view);
  return decoder.decode(view);
}

}  // namespace captivo
