<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>BackupRules</name>
    <message>
        <location filename="../../client/BackupRules.cpp" line="94"/>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <location filename="../../client/BackupRules.cpp" line="96"/>
        <source>Waiting for the next window</source>
        <translation>Wartet auf das nächste Zeitfenster</translation>
    </message>
    <message>
        <location filename="../../client/BackupRules.cpp" line="98"/>
        <source>Running</source>
        <translation>Läuft</translation>
    </message>
    <message>
        <location filename="../../client/BackupRules.cpp" line="100"/>
        <source>Completed</source>
        <translation>Abgeschlossen</translation>
    </message>
    <message>
        <location filename="../../client/BackupRules.cpp" line="119"/>
        <source>Scheduled backup is off</source>
        <translation>Geplante Sicherung ist aus</translation>
    </message>
    <message>
        <location filename="../../client/BackupRules.cpp" line="121"/>
        <source>No backup window scheduled</source>
        <translation>Kein Sicherungsfenster geplant</translation>
    </message>
    <message>
        <location filename="../../client/BackupRules.cpp" line="123"/>
        <source>Not known yet</source>
        <translation>Noch nicht bekannt</translation>
    </message>
    <message>
        <location filename="../../client/BackupRules.cpp" line="129"/>
        <source>%1, %2 (%3)</source>
        <translation>%1, %2 (%3)</translation>
    </message>
    <message>
        <location filename="../../client/BackupRules.cpp" line="139"/>
        <source>in less than a minute</source>
        <translation>in weniger als einer Minute</translation>
    </message>
    <message>
        <location filename="../../client/BackupRules.cpp" line="141"/>
        <source>in %1 min</source>
        <translation>in %1 Min.</translation>
    </message>
    <message>
        <location filename="../../client/BackupRules.cpp" line="144"/>
        <source>in %1 h %2 min</source>
        <translation>in %1 Std. %2 Min.</translation>
    </message>
    <message>
        <location filename="../../client/BackupRules.cpp" line="145"/>
        <source>in %1 d %2 h</source>
        <translation>in %1 T. %2 Std.</translation>
    </message>
</context>
<context>
    <name>CliCommands</name>
    <message>
        <location filename="../CliCommands.cpp" line="13"/>
        <source>yes</source>
        <translation>ja</translation>
    </message>
    <message>
        <location filename="../CliCommands.cpp" line="13"/>
        <source>no</source>
        <translation>nein</translation>
    </message>
    <message>
        <location filename="../CliCommands.cpp" line="55"/>
        <source>unknown command %1</source>
        <translation>unbekannter Befehl %1</translation>
    </message>
    <message>
        <location filename="../CliCommands.cpp" line="64"/>
        <location filename="../CliCommands.cpp" line="226"/>
        <source>error: %1</source>
        <translation>Fehler: %1</translation>
    </message>
    <message>
        <location filename="../CliCommands.cpp" line="91"/>
        <source>none</source>
        <translation>keine</translation>
    </message>
    <message>
        <location filename="../CliCommands.cpp" line="88"/>
        <source>all</source>
        <translation>alle</translation>
    </message>
    <message>
        <location filename="../CliCommands.cpp" line="95"/>
        <source>%1 (no longer in the inventory)</source>
        <translation>%1 (nicht mehr im Bestand)</translation>
    </message>
    <message>
        <location filename="../CliCommands.cpp" line="107"/>
        <source>Scheduled backup</source>
        <translation>Zeitgesteuerte Sicherung</translation>
    </message>
    <message>
        <location filename="../CliCommands.cpp" line="108"/>
        <source>Enabled</source>
        <translation>Aktiv</translation>
    </message>
    <message>
        <location filename="../CliCommands.cpp" line="109"/>
        <source>Target dir</source>
        <translation>Zielordner</translation>
    </message>
    <message>
        <location filename="../CliCommands.cpp" line="110"/>
        <source>Cyclic</source>
        <translation>Zyklisch</translation>
    </message>
    <message>
        <location filename="../CliCommands.cpp" line="111"/>
        <source>Throughput</source>
        <translation>Durchsatz</translation>
    </message>
    <message>
        <location filename="../CliCommands.cpp" line="111"/>
        <source>%1 MB</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <location filename="../CliCommands.cpp" line="112"/>
        <source>Range</source>
        <translation>Zeitraum</translation>
    </message>
    <message>
        <location filename="../CliCommands.cpp" line="112"/>
        <source>%1 days</source>
        <translation>%1 Tage</translation>
    </message>
    <message>
        <location filename="../CliCommands.cpp" line="113"/>
        <source>Cameras</source>
        <translation>Kameras</translation>
    </message>
    <message>
        <location filename="../CliCommands.cpp" line="113"/>
        <source>Schedule name</source>
        <translation>Zeitplanname</translation>
    </message>
    <message>
        <location filename="../CliCommands.cpp" line="114"/>
        <source>Schedule</source>
        <translation>Zeitplan</translation>
    </message>
    <message>
        <location filename="../CliCommands.cpp" line="114"/>
        <source>(unreadable)</source>
        <translation>(unlesbar)</translation>
    </message>
    <message>
        <location filename="../CliCommands.cpp" line="122"/>
        <source>%1%</source>
        <translation>%1 %</translation>
    </message>
    <message>
        <location filename="../CliCommands.cpp" line="124"/>
        <source>(%1)</source>
        <translation>(%1)</translation>
    </message>
    <message>
        <location filename="../CliCommands.cpp" line="125"/>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <location filename="../CliCommands.cpp" line="137"/>
        <source>Backup path</source>
        <translation>Sicherungspfad</translation>
    </message>
    <message>
        <location filename="../CliCommands.cpp" line="149"/>
        <source>Next backup</source>
        <translation>Nächste Sicherung</translation>
    </message>
    <message>
        <location filename="../CliCommands.cpp" line="227"/>
        <source>no next backup time can be given after %1</source>
        <translation>nach %1 lässt sich keine nächste Sicherung angeben</translation>
    </message>
    <message>
        <location filename="../CliCommands.cpp" line="196"/>
        <source>Settings saved.</source>
        <translation>Einstellungen gespeichert.</translation>
    </message>
    <message>
        <location filename="../CliCommands.cpp" line="210"/>
        <source>Schedule saved: %1</source>
        <translation>Zeitplan gespeichert: %1</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <location filename="../CommandLine.cpp" line="269"/>
        <source>command</source>
        <translation>Befehl</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="51"/>
        <source>How long to wait for a reply (default 5000).</source>
        <translation>Wie lange auf Antworten gewartet wird (Vorgabe 5000).</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="20"/>
        <source>Demo host for the scheduled-backup settings plug-in. It loads the plug-in, runs an
embedded backup service and drives the plug-in the way its settings page does.

Commands:
  show                     Print the backup settings, path, status and next start.
  set [setting options]    Change settings (--enabled, --dir, --cyclic, --throughput,
                           --range, --cameras, --schedule, --name); others are kept.
  schedule --schedule S    Store a new schedule only (optionally --name).
  next [--at DATETIME]     Print the next scheduled backup start in local time.
  status                   Print the running backup&apos;s status and progress.

Schedules: &quot;Mon-Fri 09:00-17:00; Sat 10:00-12:30&quot;, days Sun..Sat (in English or
your language) or &quot;daily&quot;,
times on whole or half hours up to 24:00, several windows as &quot;08:00-12:00,13:00-17:00&quot;;
&quot;none&quot; clears the schedule.

Exit codes: 0 success, 1 host could not start, 2 bad options, 3 request refused by the
plug-in, 4 request failed (the service&apos;s reason is printed), 5 no reply in time.</source>
        <translation>Demo-Host für das Plug-in der Einstellungen zur zeitgesteuerten Sicherung. Er lädt das
Plug-in, startet einen eingebetteten Sicherungsdienst und steuert das Plug-in so, wie es seine
Einstellungsseite tut.

Befehle:
  show                     Einstellungen, Pfad, Status und nächsten Start ausgeben.
  set [Einstellungsoptionen]
                           Einstellungen ändern (--enabled, --dir, --cyclic, --throughput,
                           --range, --cameras, --schedule, --name); die übrigen bleiben.
  schedule --schedule S    Nur einen neuen Zeitplan speichern (wahlweise mit --name).
  next [--at ZEITPUNKT]    Den nächsten geplanten Sicherungsstart in Ortszeit ausgeben.
  status                   Status und Fortschritt der laufenden Sicherung ausgeben.

Zeitpläne: &quot;Mon-Fri 09:00-17:00; Sat 10:00-12:30&quot;, Tage Sun..Sat (englisch oder in Ihrer
Sprache) oder &quot;daily&quot;,
Zeiten zu vollen oder halben Stunden bis 24:00, mehrere Fenster als &quot;08:00-12:00,13:00-17:00&quot;;
&quot;none&quot; leert den Zeitplan.

Exit-Codes: 0 Erfolg, 1 Host konnte nicht starten, 2 falsche Optionen, 3 Anfrage vom Plug-in
abgelehnt, 4 Anfrage fehlgeschlagen (der Grund des Dienstes wird ausgegeben), 5 keine Antwort
rechtzeitig.</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="54"/>
        <source>Trace level of the plug-in&apos;s log, 0 (off) to 5 (all); 3 and up also show host diagnostics.</source>
        <translation>Protokollstufe des Plug-ins, 0 (aus) bis 5 (alles); ab 3 auch Diagnosen des Hosts.</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="56"/>
        <source>level</source>
        <translation>Stufe</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="58"/>
        <source>Write the plug-in&apos;s trace to this file instead of stderr.</source>
        <translation>Das Protokoll des Plug-ins in diese Datei statt auf die Standardfehlerausgabe schreiben.</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="60"/>
        <source>file</source>
        <translation>Datei</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="62"/>
        <source>set: scheduled backup on or off.</source>
        <translation>set: zeitgesteuerte Sicherung ein oder aus.</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="65"/>
        <source>set: target directory of the backup.</source>
        <translation>set: Zielordner der Sicherung.</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="66"/>
        <source>path</source>
        <translation>Pfad</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="68"/>
        <source>set: overwrite the oldest backups when full.</source>
        <translation>set: die ältesten Sicherungen überschreiben, wenn das Ziel voll ist.</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="71"/>
        <source>set: throughput limit, 0..1000000 MB.</source>
        <translation>set: Durchsatzgrenze, 0..1000000 MB.</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="74"/>
        <source>set: range limit, 0..3650 days.</source>
        <translation>set: Zeitraumgrenze, 0..3650 Tage.</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="75"/>
        <source>days</source>
        <translation>Tage</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="77"/>
        <source>set: cameras to back up, &quot;all&quot; or ids separated by commas (cam-01,cam-02).</source>
        <translation>set: zu sichernde Kameras, &quot;all&quot; oder durch Kommas getrennte Kennungen (cam-01,cam-02).</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="81"/>
        <source>set, schedule: the weekly backup windows.</source>
        <translation>set, schedule: die wöchentlichen Sicherungsfenster.</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="82"/>
        <source>windows</source>
        <translation>Fenster</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="84"/>
        <source>set, schedule: name of the schedule.</source>
        <translation>set, schedule: Name des Zeitplans.</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="85"/>
        <source>name</source>
        <translation>Name</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="87"/>
        <source>next: local date-time to start from (ISO, e.g. 2026-12-07T08:00; default now).</source>
        <translation>next: lokaler Zeitpunkt, ab dem gesucht wird (ISO, z. B. 2026-12-07T08:00; Vorgabe jetzt).</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="89"/>
        <source>datetime</source>
        <translation>Zeitpunkt</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="140"/>
        <source>expected one command: %1</source>
        <translation>genau ein Befehl erwartet: %1</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="157"/>
        <source>--%1 does not apply to %2</source>
        <translation>--%1 gilt nicht für %2</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="171"/>
        <source>--timeout expects a positive number of milliseconds</source>
        <translation>--timeout erwartet eine positive Zahl von Millisekunden</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="176"/>
        <source>--trace expects a level from 0 to 5</source>
        <translation>--trace erwartet eine Stufe von 0 bis 5</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="186"/>
        <source>--enabled expects on or off</source>
        <translation>--enabled erwartet on oder off</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="128"/>
        <source>--%1 expects UTF-8 text</source>
        <translation>--%1 erwartet UTF-8-Text</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="188"/>
        <source>--cyclic expects on or off</source>
        <translation>--cyclic erwartet on oder off</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="206"/>
        <source>--dir expects a directory</source>
        <translation>--dir erwartet einen Ordner</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="208"/>
        <source>--dir must not contain control characters</source>
        <translation>--dir darf keine Steuerzeichen enthalten</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="192"/>
        <source>--throughput expects 0 to %1 MB</source>
        <translation>--throughput erwartet 0 bis %1 MB</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="196"/>
        <source>--range expects 0 to %1 days</source>
        <translation>--range erwartet 0 bis %1 Tage</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="220"/>
        <source>--schedule: %1</source>
        <translation>--schedule: %1</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="225"/>
        <source>--name must not contain control characters</source>
        <translation>--name darf keine Steuerzeichen enthalten</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="254"/>
        <source>set needs at least one setting option</source>
        <translation>set braucht mindestens eine Einstellungsoption</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="256"/>
        <source>schedule needs --schedule</source>
        <translation>schedule braucht --schedule</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="239"/>
        <source>--at expects a date-time like 2026-12-07T08:00</source>
        <translation>--at erwartet einen Zeitpunkt wie 2026-12-07T08:00</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="215"/>
        <source>--cameras expects &quot;all&quot; or camera ids without control characters</source>
        <translation>--cameras erwartet &quot;all&quot; oder Kamera-IDs ohne Steuerzeichen</translation>
    </message>
    <message>
        <location filename="../CommandLine.cpp" line="242"/>
        <source>--at must lie between the years 1970 and 9998</source>
        <translation>--at muss zwischen den Jahren 1970 und 9998 liegen</translation>
    </message>
</context>
<context>
    <name>HostOptions</name>
    <message>
        <location filename="../../host/HostOptions.cpp" line="67"/>
        <source>Data folder of the backup service (default: the user&apos;s application data folder).</source>
        <translation>Datenordner des Sicherungsdienstes (Vorgabe: der Anwendungsdatenordner des Benutzers).</translation>
    </message>
    <message>
        <location filename="../../host/HostOptions.cpp" line="72"/>
        <source>Folder to load plug-ins from.</source>
        <translation>Ordner, aus dem Plug-ins geladen werden.</translation>
    </message>
    <message>
        <location filename="../../host/HostOptions.cpp" line="76"/>
        <source>Delay of every service reply (default 0).</source>
        <translation>Verzögerung jeder Antwort des Dienstes (Vorgabe 0).</translation>
    </message>
    <message>
        <location filename="../../host/HostOptions.cpp" line="91"/>
        <source>--latency expects milliseconds</source>
        <translation>--latency erwartet Millisekunden</translation>
    </message>
    <message>
        <location filename="../../host/HostOptions.cpp" line="97"/>
        <source>--data expects a folder</source>
        <translation>--data erwartet einen Ordner</translation>
    </message>
</context>
<context>
    <name>PluginClient</name>
    <message>
        <location filename="../PluginClient.cpp" line="49"/>
        <location filename="../PluginClient.cpp" line="194"/>
        <source>the schedule-backup plug-in is not loaded</source>
        <translation>das Sicherungs-Plug-in ist nicht geladen</translation>
    </message>
    <message>
        <location filename="../PluginClient.cpp" line="56"/>
        <source>the plug-in has no signal %1</source>
        <translation>das Plug-in hat kein Signal %1</translation>
    </message>
    <message>
        <location filename="../PluginClient.cpp" line="64"/>
        <source>the plug-in refused to send %1</source>
        <translation>das Plug-in hat das Senden von %1 abgelehnt</translation>
    </message>
    <message>
        <location filename="../PluginClient.cpp" line="80"/>
        <source>no answer to %1 within %2 ms</source>
        <translation>keine Antwort auf %1 innerhalb von %2 ms</translation>
    </message>
    <message>
        <location filename="../PluginClient.cpp" line="81"/>
        <source>no answer to %1 within %2 ms: %3</source>
        <translation>keine Antwort auf %1 innerhalb von %2 ms: %3</translation>
    </message>
    <message>
        <location filename="../PluginClient.cpp" line="89"/>
        <source>%1 failed</source>
        <translation>%1 ist fehlgeschlagen</translation>
    </message>
    <message>
        <location filename="../PluginClient.cpp" line="90"/>
        <source>%1 failed: %2</source>
        <translation>%1 ist fehlgeschlagen: %2</translation>
    </message>
    <message>
        <location filename="../PluginClient.cpp" line="126"/>
        <source>%1 (code %2)</source>
        <translation>%1 (Code %2)</translation>
    </message>
    <message>
        <location filename="../PluginClient.cpp" line="198"/>
        <source>the plug-in has no getNextBackupTime</source>
        <translation>das Plug-in hat kein getNextBackupTime</translation>
    </message>
</context>
<context>
    <name>ScheduleBackupHost</name>
    <message>
        <location filename="../../host/ScheduleBackupHost.cpp" line="179"/>
        <source>there is no home folder (HOME is not set); use --data</source>
        <translation>es gibt keinen Home-Ordner (HOME ist nicht gesetzt); verwenden Sie --data</translation>
    </message>
    <message>
        <location filename="../../host/ScheduleBackupHost.cpp" line="190"/>
        <source>cannot open data folder %1: %2</source>
        <translation>Datenordner %1 kann nicht geöffnet werden: %2</translation>
    </message>
</context>
<context>
    <name>WeekSchedule</name>
    <message>
        <location filename="../../client/WeekSchedule.cpp" line="174"/>
        <source>empty schedule (use &quot;none&quot; for no backup windows)</source>
        <translation>leerer Zeitplan (&quot;none&quot; für keine Sicherungsfenster)</translation>
    </message>
    <message>
        <location filename="../../client/WeekSchedule.cpp" line="180"/>
        <source>no backup windows (use &quot;none&quot; for no backup windows)</source>
        <translation>keine Sicherungsfenster (&quot;none&quot; für keine Sicherungsfenster)</translation>
    </message>
    <message>
        <location filename="../../client/WeekSchedule.cpp" line="194"/>
        <location filename="../../client/WeekSchedule.cpp" line="201"/>
        <source>&quot;%1&quot;: expected days and times</source>
        <translation>&quot;%1&quot;: Tage und Uhrzeiten erwartet</translation>
    </message>
    <message>
        <location filename="../../client/WeekSchedule.cpp" line="227"/>
        <source>&quot;%1&quot;: unknown day</source>
        <translation>&quot;%1&quot;: unbekannter Tag</translation>
    </message>
    <message>
        <location filename="../../client/WeekSchedule.cpp" line="207"/>
        <source>&quot;%1&quot;: expected HH:MM-HH:MM on whole or half hours</source>
        <translation>&quot;%1&quot;: HH:MM-HH:MM zu vollen oder halben Stunden erwartet</translation>
    </message>
    <message>
        <location filename="../../client/WeekSchedule.cpp" line="13"/>
        <source>Sun</source>
        <translation>So</translation>
    </message>
    <message>
        <location filename="../../client/WeekSchedule.cpp" line="13"/>
        <source>Mon</source>
        <translation>Mo</translation>
    </message>
    <message>
        <location filename="../../client/WeekSchedule.cpp" line="14"/>
        <source>Tue</source>
        <translation>Di</translation>
    </message>
    <message>
        <location filename="../../client/WeekSchedule.cpp" line="14"/>
        <source>Wed</source>
        <translation>Mi</translation>
    </message>
    <message>
        <location filename="../../client/WeekSchedule.cpp" line="15"/>
        <source>Thu</source>
        <translation>Do</translation>
    </message>
    <message>
        <location filename="../../client/WeekSchedule.cpp" line="15"/>
        <source>Fri</source>
        <translation>Fr</translation>
    </message>
    <message>
        <location filename="../../client/WeekSchedule.cpp" line="16"/>
        <source>Sat</source>
        <translation>Sa</translation>
    </message>
    <message>
        <location filename="../../client/WeekSchedule.cpp" line="18"/>
        <source>Sunday</source>
        <translation>Sonntag</translation>
    </message>
    <message>
        <location filename="../../client/WeekSchedule.cpp" line="18"/>
        <source>Monday</source>
        <translation>Montag</translation>
    </message>
    <message>
        <location filename="../../client/WeekSchedule.cpp" line="19"/>
        <source>Tuesday</source>
        <translation>Dienstag</translation>
    </message>
    <message>
        <location filename="../../client/WeekSchedule.cpp" line="19"/>
        <source>Wednesday</source>
        <translation>Mittwoch</translation>
    </message>
    <message>
        <location filename="../../client/WeekSchedule.cpp" line="20"/>
        <source>Thursday</source>
        <translation>Donnerstag</translation>
    </message>
    <message>
        <location filename="../../client/WeekSchedule.cpp" line="20"/>
        <source>Friday</source>
        <translation>Freitag</translation>
    </message>
    <message>
        <location filename="../../client/WeekSchedule.cpp" line="21"/>
        <source>Saturday</source>
        <translation>Samstag</translation>
    </message>
    <message>
        <location filename="../../client/WeekSchedule.cpp" line="209"/>
        <source>&quot;%1&quot;: the window ends before it starts</source>
        <translation>&quot;%1&quot;: das Fenster endet, bevor es beginnt</translation>
    </message>
    <message>
        <location filename="../../client/WeekSchedule.cpp" line="245"/>
        <source>schedule document is not a JSON object</source>
        <translation>das Zeitplandokument ist kein JSON-Objekt</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <location filename="../main.cpp" line="65"/>
        <source>%1: %2 (see --help)</source>
        <translation>%1: %2 (siehe --help)</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="100"/>
        <source>error: %1</source>
        <translation>Fehler: %1</translation>
    </message>
</context>
</TS>
