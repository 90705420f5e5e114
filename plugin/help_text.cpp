#include "plugin/help_text.h"

namespace quenda {

// Windows-1252 text with the marks of the help view ({b}, {i}, {u}, {h}, {f}).
const char* const kHelpText =
    "{h}{b}Einleitung:{/b}{/h}\r\n"
    "XHTML ist der Nachfolger von HTML. Es beruht auf XML und ist deshalb strenger als HTML: Ein XHTML-Dokument muss wohlgeformt sein, damit Browser und andere Programme es sicher lesen k\xF6" "nnen. Quenda wandelt Ihre {b}HTML-4.0-Dokumente{/b} in {b}XHTML-1.0-Dokumente{/b} um.\r\n"
    "\r\n"
    "{h}{b}XHTML-Regeln (ganz kurz):{/b}{/h}\r\n"
    "- Tags und Attribute werden {i}klein{/i} geschrieben.\r\n"
    "- Attributwerte stehen immer in Anf\xFC" "hrungszeichen.\r\n"
    "- Minimierte Attribute bekommen einen Wert, aus {f}checked{/f} wird {f}checked=\"checked\"{/f}.\r\n"
    "- Sonderzeichen werden als Entities geschrieben, aus \xE4" " wird {f}&auml;{/f}.\r\n"
    "- Der Titel steht als erstes Element im Kopf des Dokuments.\r\n"
    "- Eine Document Type Definition ist Pflicht.\r\n"
    "- Tags ohne End-Tag bekommen einen Schr\xE4" "gstrich vor dem \">\", aus {f}<br>{/f} wird {f}<br />{/f}.\r\n"
    "Quenda erledigt all das f\xFC" "r Sie.\r\n"
    "\r\n"
    "{h}{b}Anwendung:{/b}{/h}\r\n"
    "Quenda arbeitet mit dem Dokument, das gerade in Ihrem Editor ge\xF6" "ffnet ist. Auf der Seite \"Allgemein\" stellen Sie ein, wie konvertiert wird:\r\n"
    "{b}Listeneintr\xE4" "ge und Auswahleintr\xE4" "ge komplettieren:{/b} Quenda erg\xE4" "nzt die fehlenden End-Tags von {f}<li>{/f} und {f}<option>{/f}. Das gelingt nur, wenn jeder Eintrag in einer eigenen Zeile steht, etwa so:\r\n"
    "{f}<li>Erster Eintrag{/f}\r\n"
    "{f}<li>Zweiter Eintrag{/f}\r\n"
    "{f}<li>Dritter Eintrag{/f}\r\n"
    "{b}Kompatibilit\xE4" "t zu nicht XHTML-f\xE4" "higen Browsern:{/b} Vor den Schr\xE4" "gstrich leerer Elemente kommt ein Leerzeichen ({f}<br />{/f} statt {f}<br/>{/f}), damit auch \xE4" "ltere Browser die Seite richtig anzeigen.\r\n"
    "{b}Im Dokument verwendete Sprache:{/b} Die Sprache wird in die Attribute {f}lang{/f} und {f}xml:lang{/f} geschrieben. Die Wahl stellt auch den passenden Zeichensatz ein.\r\n"
    "{b}Im Dokument verwendeter Zeichensatz:{/b} Er steht in der XML-Deklaration am Anfang des Dokuments. Sie k\xF6" "nnen auch einen eigenen Zeichensatz eintippen.\r\n"
    "{b}Document Type Definition:{/b} Transitional, Strict oder Frameset, je nachdem, welche Elemente Ihr Dokument verwendet.\r\n"
    "Klicken Sie dann auf {u}Konvertierung starten{/u}. Das Ergebnis erscheint farbig und mit Zeilennummern auf der Seite \"Ausgabe\"; dort k\xF6" "nnen Sie es noch bearbeiten. {u}\xDC" "bernehmen{/u} f\xFC" "gt das Ergebnis in Ihren Editor ein, {u}Abbrechen{/u} l\xE4" "sst Ihr Dokument, wie es war.\r\n"
    "\r\n"
    "{h}{b}Was Quenda nicht kann:{/b}{/h}\r\n"
    "Quenda kann falsch verschachtelte Tags nicht reparieren und vergessene End-Tags nicht erg\xE4" "nzen; am h\xE4" "ufigsten fehlt das End-Tag des Absatzes {f}</p>{/f}. Am besten gelingt die Konvertierung mit fehlerfreiem {i}HTML 4.0{/i}.\r\n"
    "\r\n"
    "{h}{b}\xDC" "berpr\xFC" "fung:{/b}{/h}\r\n"
    "Pr\xFC" "fen Sie das Ergebnis mit dem Markup-Validator des W3C:\r\n"
    "online: {u}http://validator.w3.org/{/u}\r\n"
    "hochgeladene Dokumente: {u}http://validator.w3.org/#validate_by_upload{/u}\r\n"
    "\r\n"
    "{h}{b}Haftungsausschlu\xDF" ":{/b}{/h}\r\n"
    "Quenda wird ohne jede Gew\xE4" "hr geliefert. F\xFC" "r Sch\xE4" "den an Hardware, Software oder Dokumenten, die durch die Benutzung entstehen, wird keine Haftung \xFC" "bernommen. Bewahren Sie eine Kopie Ihres Dokuments auf, bevor Sie es konvertieren.";

}  // namespace quenda
