#include "bench/html_generator.h"

#include <random>

namespace quenda::bench {

namespace {

// Latin-1 bytes: the umlauts and sharp s that German text is full of.
const char* const kWords[] = {
    "Br\xF6tchen", "Gr\xF6\xDF" "e", "K\xE4sekuchen", "M\xFCller", "\xD6" "ffnungszeiten", "Stra\xDF" "e",
    "Preis",      "Angebot",       "Lieferung",     "Kunden",      "und",               "mit",
    "f\xFCr",     "die",           "der",           "B\xE4" "ckerei", "S\xFC\xDF" "es", "Wei\xDF" "brot",
    "heute",      "t\xE4glich",    "frisch",        "Bestellung",  "Zahlung",           "\xFC" "ber",
};

class Writer {
 public:
  explicit Writer(unsigned seed) : random_(seed) {}

  std::string Sentence(int words) {
    std::string s;
    for (int i = 0; i < words; ++i) {
      if (i > 0) s += ' ';
      s += kWords[random_() % std::size(kWords)];
    }
    return s;
  }
  unsigned Number(unsigned below) { return static_cast<unsigned>(random_() % below); }

  void Section(std::string& out) {
    switch (Number(6)) {
      case 0: Table(out); break;
      case 1: List(out); break;
      case 2: Form(out); break;
      case 3: Text(out); break;
      case 4: Links(out); break;
      default: Comment(out); Text(out); break;
    }
  }

 private:
  void Table(std::string& out) {
    out += "<TABLE BORDER=1 CELLPADDING=4 WIDTH=\"100%\" ALIGN=CENTER>\n";
    out += "<TR><TH ALIGN=LEFT>Artikel</TH><TH>Menge</TH><TH>Preis</TH></TR>\n";
    unsigned rows = 4 + Number(12);
    for (unsigned r = 0; r < rows; ++r) {
      out += "<TR BGCOLOR=#F0F0F0><TD NOWRAP>" + Sentence(2) + "</TD><TD ALIGN=RIGHT>" + std::to_string(Number(100)) +
             "</TD><TD ALIGN=right VALIGN=TOP>" + std::to_string(Number(50)) + "," + std::to_string(10 + Number(90)) +
             " EUR</TD></TR>\n";
    }
    out += "</TABLE>\n";
  }
  void List(std::string& out) {
    bool ordered = Number(2) == 0;
    out += ordered ? "<OL>\n" : "<UL TYPE=disc>\n";
    unsigned items = 3 + Number(10);
    for (unsigned i = 0; i < items; ++i) out += "<LI>" + Sentence(3 + static_cast<int>(Number(6))) + "\n";
    out += ordered ? "</OL>\n" : "</UL>\n";
  }
  void Form(std::string& out) {
    out += "<FORM ACTION=\"bestellen.cgi\" METHOD=POST>\n";
    out += "<P>Name: <INPUT TYPE=text NAME=name SIZE=30 MAXLENGTH=60><BR>\n";
    out += "<INPUT TYPE=checkbox NAME=liefern VALUE=ja CHECKED> " + Sentence(2) + "<BR>\n";
    out += "<SELECT NAME=tag SIZE=1>\n<OPTION SELECTED>Montag\n<OPTION>Dienstag\n<OPTION>Mittwoch\n</SELECT>\n";
    out += "<TEXTAREA NAME=wunsch ROWS=3 COLS=40 READONLY>" + Sentence(5) + "</TEXTAREA>\n";
    out += "<INPUT TYPE=submit VALUE=Absenden> <INPUT TYPE=reset VALUE=\"Zur\xFC" "cksetzen\"></P>\n</FORM>\n";
  }
  void Text(std::string& out) {
    out += "<H2 ALIGN=center>" + Sentence(3) + "</H2>\n";
    unsigned paragraphs = 1 + Number(3);
    for (unsigned p = 0; p < paragraphs; ++p) {
      out += "<P ALIGN=JUSTIFY>" + Sentence(12) + " <B>" + Sentence(2) + "</B> " + Sentence(10) + ".<BR>\n" +
             Sentence(14) + " &amp; " + Sentence(4) + ".</P>\n";
    }
    out += "<IMG SRC=\"bilder/foto" + std::to_string(Number(100)) + ".gif\" WIDTH=120 HEIGHT=80 BORDER=0>\n<HR NOSHADE SIZE=1>\n";
  }
  void Links(std::string& out) {
    out += "<P><FONT FACE=\"Arial\" SIZE=2>";
    for (int i = 0; i < 4; ++i) {
      out += "<A HREF=\"seite" + std::to_string(Number(500)) + ".html\" TARGET=_blank>" + Sentence(2) + "</A> | ";
    }
    out += "</FONT></P>\n";
  }
  void Comment(std::string& out) { out += "<!-- " + Sentence(6) + " -->\n"; }

  std::mt19937 random_;
};

}  // namespace

std::string GenerateHtmlPage(size_t size, unsigned seed) {
  Writer writer(seed);
  std::string out;
  out.reserve(size + 4096);
  out += "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n<HTML>\n<HEAD>\n";
  out += "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=iso-8859-1\">\n";
  out += "<META NAME=author CONTENT=\"J\xFCrgen M\xFCller\">\n<LINK REL=stylesheet HREF=\"stil.css\">\n</HEAD>\n";
  out += "<BODY BGCOLOR=#FFFFFF TEXT=black>\n<TITLE>" + writer.Sentence(4) + "</TITLE>\n";
  while (out.size() < size) writer.Section(out);
  out += "</BODY>\n</HTML>\n";
  return out;
}

}  // namespace quenda::bench
