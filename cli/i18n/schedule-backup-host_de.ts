<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>BackupRules</name>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>Waiting for the next window</source>
        <translation>Wartet auf das nächste Zeitfenster</translation>
    </message>
    <message>
        <source>Running</source>
        <translation>Läuft</translation>
    </message>
    <message>
        <source>Completed</source>
        <translation>Abgeschlossen</translation>
    </message>
    <message>
        <source>Scheduled backup is off</source>
        <translation>Geplante Sicherung ist aus</translation>
    </message>
    <message>
        <source>No backup window scheduled</source>
        <translation>Kein Sicherungsfenster geplant</translation>
    </message>
    <message>
        <source>Not known yet</source>
        <translation>Noch nicht bekannt</translation>
    </message>
    <message>
        <source>%1, %2 (%3)</source>
        <translation>%1, %2 (%3)</translation>
    </message>
    <message>
        <source>in less than a minute</source>
        <translation>in weniger als einer Minute</translation>
    </message>
    <message>
        <source>in %1 min</source>
        <translation>in %1 Min.</translation>
    </message>
    <message>
        <source>in %1 h %2 min</source>
        <translation>in %1 Std. %2 Min.</translation>
    </message>
    <message>
        <source>in %1 d %2 h</source>
        <translation>in %1 T. %2 Std.</translation>
    </message>
</context>
<context>
    <name>BackupService</name>
    <message>
        <source>&quot;all cameras&quot; cannot be mixed with single cameras</source>
        <translation>&quot;alle Kameras&quot; lässt sich nicht mit einzelnen Kameras mischen</translation>
    </message>
    <message>
        <source>unknown camera &quot;%1&quot;</source>
        <translation>unbekannte Kamera &quot;%1&quot;</translation>
    </message>
    <message>
        <source>camera &quot;%1&quot; is not in group &quot;%2&quot;</source>
        <translation>Kamera &quot;%1&quot; ist nicht in Gruppe &quot;%2&quot;</translation>
    </message>
    <message>
        <source>arguments must be a map</source>
        <translation>die Argumente müssen eine Zuordnung sein</translation>
    </message>
    <message>
        <source>missing revision</source>
        <translation>Revision fehlt</translation>
    </message>
    <message>
        <source>no target directory</source>
        <translation>kein Zielordner</translation>
    </message>
    <message>
        <source>the target directory holds control characters</source>
        <translation>der Zielordner enthält Steuerzeichen</translation>
    </message>
    <message>
        <source>invalid throughput limit</source>
        <translation>ungültige Durchsatzgrenze</translation>
    </message>
    <message>
        <source>invalid range limit</source>
        <translation>ungültige Zeitraumgrenze</translation>
    </message>
    <message>
        <source>no cameras selected</source>
        <translation>keine Kameras ausgewählt</translation>
    </message>
    <message>
        <source>unknown command &quot;%1&quot;</source>
        <translation>unbekannter Befehl &quot;%1&quot;</translation>
    </message>
    <message>
        <source>stale revision %1, the stored time-card is at revision %2</source>
        <translation>veraltete Revision %1, die gespeicherte Zeitkarte steht bei Revision %2</translation>
    </message>
    <message>
        <source>unknown time-card id %1</source>
        <translation>unbekannte Zeitkarten-ID %1</translation>
    </message>
    <message>
        <source>the stored revision %1 is at its maximum and cannot be raised</source>
        <translation>die gespeicherte Revision %1 ist am Höchstwert und kann nicht erhöht werden</translation>
    </message>
</context>
<context>
    <name>BackupStore</name>
    <message>
        <source>&lt;%1&gt; is missing</source>
        <translation>&lt;%1&gt; fehlt</translation>
    </message>
    <message>
        <source>&lt;%1&gt; mixes &quot;%2&quot; with single cameras</source>
        <translation>&lt;%1&gt; mischt &quot;%2&quot; mit einzelnen Kameras</translation>
    </message>
    <message>
        <source>&lt;%1&gt; is not a count: &quot;%2&quot;</source>
        <translation>&lt;%1&gt; ist keine Anzahl: &quot;%2&quot;</translation>
    </message>
    <message>
        <source>&lt;%1&gt; is neither true nor false: &quot;%2&quot;</source>
        <translation>&lt;%1&gt; ist weder true noch false: &quot;%2&quot;</translation>
    </message>
    <message>
        <source>it declares a document type, which data files never do</source>
        <translation>sie deklariert einen Dokumenttyp, was Datendateien nie tun</translation>
    </message>
    <message>
        <source>it is empty</source>
        <translation>sie ist leer</translation>
    </message>
    <message>
        <source>a folder</source>
        <translation>ein Ordner</translation>
    </message>
    <message>
        <source>a FIFO</source>
        <translation>ein FIFO</translation>
    </message>
    <message>
        <source>a device</source>
        <translation>ein Gerät</translation>
    </message>
    <message>
        <source>a socket</source>
        <translation>ein Socket</translation>
    </message>
    <message>
        <source>no regular file</source>
        <translation>keine reguläre Datei</translation>
    </message>
    <message>
        <source>cannot create data folder %1</source>
        <translation>Datenordner %1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>cannot open data folder %1: %2</source>
        <translation>Datenordner %1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>cannot lock data folder %1: %2</source>
        <translation>Datenordner %1 kann nicht gesperrt werden: %2</translation>
    </message>
    <message>
        <source>another program is saving to %1</source>
        <translation>ein anderes Programm speichert gerade in %1</translation>
    </message>
    <message>
        <source>cannot read %1: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>%1 is damaged: it is %2</source>
        <translation>%1 ist beschädigt: es ist %2</translation>
    </message>
    <message>
        <source>%1 is damaged: %2</source>
        <translation>%1 ist beschädigt: %2</translation>
    </message>
    <message>
        <source>larger than %1 bytes</source>
        <translation>größer als %1 Bytes</translation>
    </message>
    <message>
        <source>an element has more than %1 attributes</source>
        <translation>ein Element hat mehr als %1 Attribute</translation>
    </message>
    <message>
        <source>it is not a schedule-backup data file</source>
        <translation>sie ist keine Datendatei der zeitgesteuerten Sicherung</translation>
    </message>
    <message>
        <source>it is of format version %1, not %2</source>
        <translation>sie hat die Formatversion %1, nicht %2</translation>
    </message>
    <message>
        <source>after &lt;/%1&gt;: %2</source>
        <translation>nach &lt;/%1&gt;: %2</translation>
    </message>
    <message>
        <source>it holds no time-card</source>
        <translation>sie enthält keine Zeitkarte</translation>
    </message>
    <message>
        <source>cannot write %1: cannot create the data folder</source>
        <translation>%1 kann nicht geschrieben werden: der Datenordner kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>the data file would grow to %1 bytes, beyond its limit of %2 bytes</source>
        <translation>die Datendatei würde auf %1 Bytes wachsen, über ihre Grenze von %2 Bytes</translation>
    </message>
</context>
<context>
    <name>CliCommands</name>
    <message>
        <source>yes</source>
        <translation>ja</translation>
    </message>
    <message>
        <source>no</source>
        <translation>nein</translation>
    </message>
    <message>
        <source>unknown command %1</source>
        <translation>unbekannter Befehl %1</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keine</translation>
    </message>
    <message>
        <source>all</source>
        <translation>alle</translation>
    </message>
    <message>
        <source>%1 (no longer in the inventory)</source>
        <translation>%1 (nicht mehr im Bestand)</translation>
    </message>
    <message>
        <source>Scheduled backup</source>
        <translation>Zeitgesteuerte Sicherung</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>Aktiv</translation>
    </message>
    <message>
        <source>Target dir</source>
        <translation>Zielordner</translation>
    </message>
    <message>
        <source>Cyclic</source>
        <translation>Zyklisch</translation>
    </message>
    <message>
        <source>Throughput</source>
        <translation>Durchsatz</translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <source>Range</source>
        <translation>Zeitraum</translation>
    </message>
    <message>
        <source>%1 days</source>
        <translation>%1 Tage</translation>
    </message>
    <message>
        <source>Cameras</source>
        <translation>Kameras</translation>
    </message>
    <message>
        <source>Schedule name</source>
        <translation>Zeitplanname</translation>
    </message>
    <message>
        <source>Schedule</source>
        <translation>Zeitplan</translation>
    </message>
    <message>
        <source>(unreadable)</source>
        <translation>(unlesbar)</translation>
    </message>
    <message>
        <source>%1%</source>
        <translation>%1 %</translation>
    </message>
    <message>
        <source>(%1)</source>
        <translation>(%1)</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Backup path</source>
        <translation>Sicherungspfad</translation>
    </message>
    <message>
        <source>Next backup</source>
        <translation>Nächste Sicherung</translation>
    </message>
    <message>
        <source>no next backup time can be given after %1</source>
        <translation>nach %1 lässt sich keine nächste Sicherung angeben</translation>
    </message>
    <message>
        <source>Settings saved.</source>
        <translation>Einstellungen gespeichert.</translation>
    </message>
    <message>
        <source>Schedule saved: %1</source>
        <translation>Zeitplan gespeichert: %1</translation>
    </message>
    <message>
        <source>%1 (the old default folder)</source>
        <translation>%1 (der alte Vorgabeordner)</translation>
    </message>
    <message>
        <source>Data folder</source>
        <translation>Datenordner</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Gruppe</translation>
    </message>
    <message>
        <source>Backed up</source>
        <translation>Gesichert</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>command</source>
        <translation>Befehl</translation>
    </message>
    <message>
        <source>How long to wait for a reply (default 5000).</source>
        <translation>Wie lange auf Antworten gewartet wird (Vorgabe 5000).</translation>
    </message>
    <message>
        <source>Trace level of the plug-in&apos;s log, 0 (off) to 5 (all); 3 and up also show host diagnostics.</source>
        <translation>Protokollstufe des Plug-ins, 0 (aus) bis 5 (alles); ab 3 auch Diagnosen des Hosts.</translation>
    </message>
    <message>
        <source>level</source>
        <translation>Stufe</translation>
    </message>
    <message>
        <source>Write the plug-in&apos;s trace to this file instead of stderr.</source>
        <translation>Das Protokoll des Plug-ins in diese Datei statt auf die Standardfehlerausgabe schreiben.</translation>
    </message>
    <message>
        <source>file</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>set: scheduled backup on or off.</source>
        <translation>set: zeitgesteuerte Sicherung ein oder aus.</translation>
    </message>
    <message>
        <source>set: target directory of the backup.</source>
        <translation>set: Zielordner der Sicherung.</translation>
    </message>
    <message>
        <source>path</source>
        <translation>Pfad</translation>
    </message>
    <message>
        <source>set: overwrite the oldest backups when full.</source>
        <translation>set: die ältesten Sicherungen überschreiben, wenn das Ziel voll ist.</translation>
    </message>
    <message>
        <source>set: throughput limit, 0..1000000 MB.</source>
        <translation>set: Durchsatzgrenze, 0..1000000 MB.</translation>
    </message>
    <message>
        <source>set: range limit, 0..3650 days.</source>
        <translation>set: Zeitraumgrenze, 0..3650 Tage.</translation>
    </message>
    <message>
        <source>days</source>
        <translation>Tage</translation>
    </message>
    <message>
        <source>set: cameras to back up, &quot;all&quot; or ids separated by commas (cam-01,cam-02).</source>
        <translation>set: zu sichernde Kameras, &quot;all&quot; oder durch Kommas getrennte Kennungen (cam-01,cam-02).</translation>
    </message>
    <message>
        <source>set, schedule: the weekly backup windows.</source>
        <translation>set, schedule: die wöchentlichen Sicherungsfenster.</translation>
    </message>
    <message>
        <source>windows</source>
        <translation>Fenster</translation>
    </message>
    <message>
        <source>set, schedule: name of the schedule.</source>
        <translation>set, schedule: Name des Zeitplans.</translation>
    </message>
    <message>
        <source>name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>next: local date-time to start from (ISO, e.g. 2026-12-07T08:00; default now).</source>
        <translation>next: lokaler Zeitpunkt, ab dem gesucht wird (ISO, z. B. 2026-12-07T08:00; Vorgabe jetzt).</translation>
    </message>
    <message>
        <source>datetime</source>
        <translation>Zeitpunkt</translation>
    </message>
    <message>
        <source>--%1 does not apply to %2</source>
        <translation>--%1 gilt nicht für %2</translation>
    </message>
    <message>
        <source>--timeout expects a positive number of milliseconds</source>
        <translation>--timeout erwartet eine positive Zahl von Millisekunden</translation>
    </message>
    <message>
        <source>--trace expects a level from 0 to 5</source>
        <translation>--trace erwartet eine Stufe von 0 bis 5</translation>
    </message>
    <message>
        <source>--enabled expects on or off</source>
        <translation>--enabled erwartet on oder off</translation>
    </message>
    <message>
        <source>--%1 expects UTF-8 text</source>
        <translation>--%1 erwartet UTF-8-Text</translation>
    </message>
    <message>
        <source>--cyclic expects on or off</source>
        <translation>--cyclic erwartet on oder off</translation>
    </message>
    <message>
        <source>--dir expects a directory</source>
        <translation>--dir erwartet einen Ordner</translation>
    </message>
    <message>
        <source>--dir must not contain control characters</source>
        <translation>--dir darf keine Steuerzeichen enthalten</translation>
    </message>
    <message>
        <source>--throughput expects 0 to %1 MB</source>
        <translation>--throughput erwartet 0 bis %1 MB</translation>
    </message>
    <message>
        <source>--range expects 0 to %1 days</source>
        <translation>--range erwartet 0 bis %1 Tage</translation>
    </message>
    <message>
        <source>--schedule: %1</source>
        <translation>--schedule: %1</translation>
    </message>
    <message>
        <source>--name must not contain control characters</source>
        <translation>--name darf keine Steuerzeichen enthalten</translation>
    </message>
    <message>
        <source>set needs at least one setting option</source>
        <translation>set braucht mindestens eine Einstellungsoption</translation>
    </message>
    <message>
        <source>schedule needs --schedule</source>
        <translation>schedule braucht --schedule</translation>
    </message>
    <message>
        <source>--at expects a date-time like 2026-12-07T08:00</source>
        <translation>--at erwartet einen Zeitpunkt wie 2026-12-07T08:00</translation>
    </message>
    <message>
        <source>--at must lie between the years 1970 and 9998</source>
        <translation>--at muss zwischen den Jahren 1970 und 9998 liegen</translation>
    </message>
    <message>
        <source>Demo host for the scheduled-backup settings plug-in. It loads the plug-in, runs an
embedded backup service and drives the plug-in the way its settings page does.

Commands (schedule-backup-host &lt;command&gt; --help shows the options of one):
%1
Schedules: &quot;Mon-Fri 09:00-17:00; Sat 10:00-12:30&quot;, days Sun..Sat (in English or
your language) or &quot;daily&quot;,
times on whole or half hours up to 24:00, several windows as &quot;08:00-12:00,13:00-17:00&quot;;
&quot;none&quot; clears the schedule.

Exit codes: 0 success, 1 host could not start, 2 bad options, 3 request refused by the
plug-in, 4 request failed (the service&apos;s reason is printed), 5 no reply in time.</source>
        <translation>Demo-Host für das Plug-in der Einstellungen zur zeitgesteuerten Sicherung. Er lädt das
Plug-in, startet einen eingebetteten Sicherungsdienst und steuert das Plug-in so, wie es seine
Einstellungsseite tut.

Befehle (schedule-backup-host &lt;Befehl&gt; --help zeigt die Optionen eines Befehls):
%1
Zeitpläne: &quot;Mon-Fri 09:00-17:00; Sat 10:00-12:30&quot;, Tage Sun..Sat (englisch oder in Ihrer
Sprache) oder &quot;daily&quot;,
Zeiten zu vollen oder halben Stunden bis 24:00, mehrere Fenster als &quot;08:00-12:00,13:00-17:00&quot;;
&quot;none&quot; leert den Zeitplan.

Exit-Codes: 0 Erfolg, 1 Host konnte nicht starten, 2 falsche Optionen, 3 Anfrage vom Plug-in
abgelehnt, 4 Anfrage fehlgeschlagen (der Grund des Dienstes wird ausgegeben), 5 keine Antwort
rechtzeitig.</translation>
    </message>
    <message>
        <source>cameras: only the cameras of this group.</source>
        <translation>cameras: nur die Kameras dieser Gruppe.</translation>
    </message>
    <message>
        <source>group</source>
        <translation>Gruppe</translation>
    </message>
    <message>
        <source>show, status, next, cameras: print JSON with fixed English keys, for scripts.</source>
        <translation>show, status, next, cameras: JSON mit festen englischen Schlüsseln für Skripte ausgeben.</translation>
    </message>
    <message>
        <source>Print the settings, the data folder, the backup path, the status and the next start.</source>
        <translation>Einstellungen, Datenordner, Sicherungspfad, Status und nächsten Start ausgeben.</translation>
    </message>
    <message>
        <source>Change settings; the others are kept.</source>
        <translation>Einstellungen ändern; die übrigen bleiben.</translation>
    </message>
    <message>
        <source>Store a new schedule only (--schedule is needed).</source>
        <translation>Nur einen neuen Zeitplan speichern (--schedule ist nötig).</translation>
    </message>
    <message>
        <source>Print the next scheduled backup start in local time.</source>
        <translation>Den nächsten geplanten Sicherungsstart in Ortszeit ausgeben.</translation>
    </message>
    <message>
        <source>Print the running backup&apos;s status and progress.</source>
        <translation>Status und Fortschritt der laufenden Sicherung ausgeben.</translation>
    </message>
    <message>
        <source>List the cameras of the inventory and whether each is backed up.</source>
        <translation>Die Kameras des Bestands auflisten und ob jede gesichert wird.</translation>
    </message>
    <message>
        <source>Example:
  %1</source>
        <translation>Beispiel:
  %1</translation>
    </message>
    <message>
        <source>The options of every command (--data, --plugin-dir, --latency, --timeout, --trace, --trace-file) are in schedule-backup-host --help.</source>
        <translation>Die Optionen aller Befehle (--data, --plugin-dir, --latency, --timeout, --trace, --trace-file) stehen in schedule-backup-host --help.</translation>
    </message>
    <message>
        <source>expected a command: %1</source>
        <translation>ein Befehl erwartet: %1</translation>
    </message>
    <message>
        <source>unknown command &quot;%1&quot;; the commands are %2</source>
        <translation>unbekannter Befehl &quot;%1&quot;; die Befehle sind %2</translation>
    </message>
    <message>
        <source>unexpected argument &quot;%1&quot;</source>
        <translation>unerwartetes Argument &quot;%1&quot;</translation>
    </message>
    <message>
        <source>--cameras expects &quot;all&quot; alone or camera ids without control characters</source>
        <translation>--cameras erwartet &quot;all&quot; allein oder Kamera-IDs ohne Steuerzeichen</translation>
    </message>
</context>
<context>
    <name>HostFramework</name>
    <message>
        <source>host shutting down</source>
        <translation>der Host wird beendet</translation>
    </message>
</context>
<context>
    <name>HostOptions</name>
    <message>
        <source>Delay of every service reply (default 0).</source>
        <translation>Verzögerung jeder Antwort des Dienstes (Vorgabe 0).</translation>
    </message>
    <message>
        <source>--latency expects milliseconds</source>
        <translation>--latency erwartet Millisekunden</translation>
    </message>
    <message>
        <source>--data expects a folder</source>
        <translation>--data erwartet einen Ordner</translation>
    </message>
    <message>
        <source>Data folder of the backup service (default: $SCHEDULE_BACKUP_DATA, else the user&apos;s data folder schedule-backup).</source>
        <translation>Datenordner des Sicherungsdienstes (Vorgabe: $SCHEDULE_BACKUP_DATA, sonst der Datenordner schedule-backup des Benutzers).</translation>
    </message>
    <message>
        <source>Folder to load plug-ins from (default: $SCHEDULE_BACKUP_PLUGIN_DIR, else the installed folder).</source>
        <translation>Ordner, aus dem Plug-ins geladen werden (Vorgabe: $SCHEDULE_BACKUP_PLUGIN_DIR, sonst der installierte Ordner).</translation>
    </message>
</context>
<context>
    <name>PluginClient</name>
    <message>
        <source>the schedule-backup plug-in is not loaded</source>
        <translation>das Sicherungs-Plug-in ist nicht geladen</translation>
    </message>
    <message>
        <source>the plug-in has no signal %1</source>
        <translation>das Plug-in hat kein Signal %1</translation>
    </message>
    <message>
        <source>the plug-in refused to send %1</source>
        <translation>das Plug-in hat das Senden von %1 abgelehnt</translation>
    </message>
    <message>
        <source>no answer to %1 within %2 ms</source>
        <translation>keine Antwort auf %1 innerhalb von %2 ms</translation>
    </message>
    <message>
        <source>no answer to %1 within %2 ms: %3</source>
        <translation>keine Antwort auf %1 innerhalb von %2 ms: %3</translation>
    </message>
    <message>
        <source>%1 failed</source>
        <translation>%1 ist fehlgeschlagen</translation>
    </message>
    <message>
        <source>%1 failed: %2</source>
        <translation>%1 ist fehlgeschlagen: %2</translation>
    </message>
    <message>
        <source>%1 (code %2)</source>
        <translation>%1 (Code %2)</translation>
    </message>
    <message>
        <source>the plug-in has no getNextBackupTime</source>
        <translation>das Plug-in hat kein getNextBackupTime</translation>
    </message>
</context>
<context>
    <name>PluginLoader</name>
    <message>
        <source>no such plug-in folder</source>
        <translation>kein solcher Plug-in-Ordner</translation>
    </message>
    <message>
        <source>the folder holds no plug-ins</source>
        <translation>der Ordner enthält keine Plug-ins</translation>
    </message>
    <message>
        <source>no such file</source>
        <translation>keine solche Datei</translation>
    </message>
    <message>
        <source>interface &quot;%1&quot; is not the client&apos;s</source>
        <translation>die Schnittstelle &quot;%1&quot; ist nicht die des Clients</translation>
    </message>
    <message>
        <source>plug-in id %1 is already taken by %2</source>
        <translation>die Plug-in-ID %1 ist bereits von %2 belegt</translation>
    </message>
    <message>
        <source>%1 does not implement the interface</source>
        <translation>%1 implementiert die Schnittstelle nicht</translation>
    </message>
    <message>
        <source>no plug-in with id %1</source>
        <translation>kein Plug-in mit der ID %1</translation>
    </message>
</context>
<context>
    <name>ScheduleBackupHost</name>
    <message>
        <source>there is no home folder (HOME is not set); use --data</source>
        <translation>es gibt keinen Home-Ordner (HOME ist nicht gesetzt); verwenden Sie --data</translation>
    </message>
    <message>
        <source>cannot open data folder %1: %2</source>
        <translation>Datenordner %1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>no schedule-backup plug-in in %1</source>
        <translation>kein Plug-in für die zeitgesteuerte Sicherung in %1</translation>
    </message>
</context>
<context>
    <name>TimeFrame</name>
    <message>
        <source>a time frame must not declare a document type</source>
        <translation>ein Zeitrahmen darf keinen Dokumenttyp deklarieren</translation>
    </message>
    <message>
        <source>a time frame must be a bare element</source>
        <translation>ein Zeitrahmen muss ein bloßes Element sein</translation>
    </message>
    <message>
        <source>time frame root must be &lt;Ele&gt;</source>
        <translation>die Wurzel des Zeitrahmens muss &lt;Ele&gt; sein</translation>
    </message>
    <message>
        <source>unexpected &lt;%1&gt; in &lt;Intervals&gt;</source>
        <translation>unerwartetes &lt;%1&gt; in &lt;Intervals&gt;</translation>
    </message>
    <message>
        <source>interval bounds must be week seconds 0..%1</source>
        <translation>Intervallgrenzen müssen Wochensekunden 0..%1 sein</translation>
    </message>
    <message>
        <source>interval begins after it ends (B=%1, E=%2)</source>
        <translation>das Intervall beginnt nach seinem Ende (B=%1, E=%2)</translation>
    </message>
    <message>
        <source>malformed time frame: %1</source>
        <translation>fehlerhafter Zeitrahmen: %1</translation>
    </message>
    <message>
        <source>empty time frame</source>
        <translation>leerer Zeitrahmen</translation>
    </message>
    <message>
        <source>an element has more than %1 attributes</source>
        <translation>ein Element hat mehr als %1 Attribute</translation>
    </message>
</context>
<context>
    <name>WeekSchedule</name>
    <message>
        <source>empty schedule (use &quot;none&quot; for no backup windows)</source>
        <translation>leerer Zeitplan (&quot;none&quot; für keine Sicherungsfenster)</translation>
    </message>
    <message>
        <source>no backup windows (use &quot;none&quot; for no backup windows)</source>
        <translation>keine Sicherungsfenster (&quot;none&quot; für keine Sicherungsfenster)</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: expected days and times</source>
        <translation>&quot;%1&quot;: Tage und Uhrzeiten erwartet</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: unknown day</source>
        <translation>&quot;%1&quot;: unbekannter Tag</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: expected HH:MM-HH:MM on whole or half hours</source>
        <translation>&quot;%1&quot;: HH:MM-HH:MM zu vollen oder halben Stunden erwartet</translation>
    </message>
    <message>
        <source>Sun</source>
        <translation>So</translation>
    </message>
    <message>
        <source>Mon</source>
        <translation>Mo</translation>
    </message>
    <message>
        <source>Tue</source>
        <translation>Di</translation>
    </message>
    <message>
        <source>Wed</source>
        <translation>Mi</translation>
    </message>
    <message>
        <source>Thu</source>
        <translation>Do</translation>
    </message>
    <message>
        <source>Fri</source>
        <translation>Fr</translation>
    </message>
    <message>
        <source>Sat</source>
        <translation>Sa</translation>
    </message>
    <message>
        <source>Sunday</source>
        <translation>Sonntag</translation>
    </message>
    <message>
        <source>Monday</source>
        <translation>Montag</translation>
    </message>
    <message>
        <source>Tuesday</source>
        <translation>Dienstag</translation>
    </message>
    <message>
        <source>Wednesday</source>
        <translation>Mittwoch</translation>
    </message>
    <message>
        <source>Thursday</source>
        <translation>Donnerstag</translation>
    </message>
    <message>
        <source>Friday</source>
        <translation>Freitag</translation>
    </message>
    <message>
        <source>Saturday</source>
        <translation>Samstag</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: the window ends before it starts</source>
        <translation>&quot;%1&quot;: das Fenster endet, bevor es beginnt</translation>
    </message>
    <message>
        <source>schedule document is not a JSON object</source>
        <translation>das Zeitplandokument ist kein JSON-Objekt</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>%1 (see --help)</source>
        <translation>%1 (siehe --help)</translation>
    </message>
</context>
</TS>
