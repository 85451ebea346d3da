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
    <name>CameraGroupHeader</name>
    <message>
        <source>Ticks or clears every camera of this group, also those the filter hides.</source>
        <translation>Wählt jede Kamera dieser Gruppe aus oder ab, auch die vom Filter ausgeblendeten.</translation>
    </message>
    <message>
        <source>No longer in the inventory</source>
        <translation>Nicht mehr im Bestand</translation>
    </message>
    <message>
        <source>Without a group</source>
        <translation>Ohne Gruppe</translation>
    </message>
    <message>
        <source>Cameras stored in the settings that the system no longer has. Clear them to stop backing them up.</source>
        <translation>In den Einstellungen gespeicherte Kameras, die das System nicht mehr hat. Wählen Sie sie ab, damit sie nicht mehr gesichert werden.</translation>
    </message>
</context>
<context>
    <name>CameraRow</name>
    <message>
        <source>%1 (id %2)</source>
        <translation>%1 (Kennung %2)</translation>
    </message>
</context>
<context>
    <name>CameraSelector</name>
    <message>
        <source>Scroll the cameras</source>
        <translation>Kameraliste blättern</translation>
    </message>
    <message>
        <source>Cameras</source>
        <translation>Kameras</translation>
    </message>
    <message>
        <source>All cameras</source>
        <translation>Alle Kameras</translation>
    </message>
    <message>
        <source>Backs up every camera of the system, also cameras added later.</source>
        <translation>Sichert jede Kamera des Systems, auch später hinzugefügte.</translation>
    </message>
    <message>
        <source>Filter cameras</source>
        <translation>Kameras filtern</translation>
    </message>
    <message>
        <source>Shows only the cameras whose name, id or group contains this text.</source>
        <translation>Zeigt nur die Kameras, deren Name, Kennung oder Gruppe diesen Text enthält.</translation>
    </message>
    <message>
        <source>Selected only</source>
        <translation>Nur ausgewählte</translation>
    </message>
    <message>
        <source>Lists only the ticked cameras.</source>
        <translation>Listet nur die ausgewählten Kameras auf.</translation>
    </message>
    <message>
        <source>Select all</source>
        <translation>Alle auswählen</translation>
    </message>
    <message>
        <source>Ticks every camera the filter shows.</source>
        <translation>Wählt jede Kamera aus, die der Filter zeigt.</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keine</translation>
    </message>
    <message>
        <source>Clears every camera the filter shows.</source>
        <translation>Wählt jede Kamera ab, die der Filter zeigt.</translation>
    </message>
    <message>
        <source>Camera list</source>
        <translation>Kameraliste</translation>
    </message>
    <message>
        <source>Up, Down, Page Up, Page Down, Home and End move, Space ticks or clears the camera, Shift+Space its group.</source>
        <translation>Pfeil auf und ab, Bild auf, Bild ab, Pos1 und Ende bewegen, Leertaste wählt die Kamera aus oder ab, Umschalt+Leertaste ihre Gruppe.</translation>
    </message>
    <message numerus="yes">
        <source>%n camera(s) selected</source>
        <translation>
            <numerusform>%n Kamera ausgewählt</numerusform>
            <numerusform>%n Kameras ausgewählt</numerusform>
        </translation>
    </message>
    <message>
        <source>Select at least one camera, or all cameras.</source>
        <translation>Wählen Sie mindestens eine Kamera oder alle Kameras aus.</translation>
    </message>
    <message>
        <source>Cameras (saving, wait for the reply…)</source>
        <translation>Kameras (wird gespeichert, bitte auf die Antwort warten…)</translation>
    </message>
</context>
<context>
    <name>CloseDialog</name>
    <message>
        <source>The backup settings have changes that are not saved. Save them before closing?</source>
        <translation>Die Sicherungseinstellungen haben ungespeicherte Änderungen. Vor dem Schließen speichern?</translation>
    </message>
    <message>
        <source>Unsaved changes</source>
        <translation>Ungespeicherte Änderungen</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Saves the changes and closes the window once the server has confirmed them.</source>
        <translation>Speichert die Änderungen und schließt das Fenster, sobald der Server sie bestätigt hat.</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Verwerfen</translation>
    </message>
    <message>
        <source>Closes the window; the changes are lost.</source>
        <translation>Schließt das Fenster; die Änderungen gehen verloren.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Keeps the window open with the changes.</source>
        <translation>Lässt das Fenster mit den Änderungen offen.</translation>
    </message>
    <message>
        <source>The server refused the save, so the changes on this page are not stored. Save them before closing?</source>
        <translation>Der Server hat das Speichern abgelehnt, die Änderungen auf dieser Seite sind also nicht gespeichert. Vor dem Schließen speichern?</translation>
    </message>
</context>
<context>
    <name>ConfirmDialog</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Keeps everything as it is.</source>
        <translation>Lässt alles, wie es ist.</translation>
    </message>
</context>
<context>
    <name>CopyDayDialog</name>
    <message>
        <source>Copy day</source>
        <translation>Tag kopieren</translation>
    </message>
    <message>
        <source>Copy the windows of</source>
        <translation>Die Zeitfenster von</translation>
    </message>
    <message>
        <source>Day to copy</source>
        <translation>Zu kopierender Tag</translation>
    </message>
    <message>
        <source>The day whose windows are copied.</source>
        <translation>Der Tag, dessen Zeitfenster kopiert werden.</translation>
    </message>
    <message>
        <source>to</source>
        <translation>kopieren nach</translation>
    </message>
    <message>
        <source>Replaces the windows of this day with those of the copied day.</source>
        <translation>Ersetzt die Zeitfenster dieses Tages durch die des kopierten Tages.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Closes without copying.</source>
        <translation>Schließt, ohne zu kopieren.</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Copies the windows to the ticked days; Undo brings the old ones back.</source>
        <translation>Kopiert die Zeitfenster auf die ausgewählten Tage; Rückgängig stellt die alten wieder her.</translation>
    </message>
</context>
<context>
    <name>LimitField</name>
    <message>
        <source>Enter a number from 0 to %1; 0 means no limit.</source>
        <translation>Geben Sie eine Zahl von 0 bis %1 ein; 0 bedeutet keine Grenze.</translation>
    </message>
    <message>
        <source>Only whole numbers from 0 to %1 can be saved.</source>
        <translation>Nur ganze Zahlen von 0 bis %1 können gespeichert werden.</translation>
    </message>
    <message>
        <source>More than %1, the largest value the server accepts. Nothing was changed; correct it to save.</source>
        <translation>Mehr als %1, der größte Wert, den der Server annimmt. Nichts wurde geändert; korrigieren Sie den Wert, um zu speichern.</translation>
    </message>
</context>
<context>
    <name>OverwriteDialog</name>
    <message>
        <source>The settings were changed elsewhere. The stored values of the other fields, changes made elsewhere included, are kept. Overwrite writes only your values of these fields:</source>
        <translation>Die Einstellungen wurden an anderer Stelle geändert. Die gespeicherten Werte der übrigen Felder bleiben erhalten, auch die anderswo geänderten. Überschreiben schreibt nur Ihre Werte dieser Felder:</translation>
    </message>
    <message>
        <source>“%1”</source>
        <translation>„%1“</translation>
    </message>
    <message>
        <source>Back up on schedule: stored %1, yours %2</source>
        <translation>Nach Zeitplan sichern: gespeichert %1, Ihr Wert %2</translation>
    </message>
    <message>
        <source>Overwrite oldest recordings: stored %1, yours %2</source>
        <translation>Älteste Aufnahmen überschreiben: gespeichert %1, Ihr Wert %2</translation>
    </message>
    <message>
        <source>Target directory: stored %1, yours %2</source>
        <translation>Zielverzeichnis: gespeichert %1, Ihr Wert %2</translation>
    </message>
    <message>
        <source>Max. throughput: stored %1 MB, yours %2 MB</source>
        <translation>Max. Durchsatz: gespeichert %1 MB, Ihr Wert %2 MB</translation>
    </message>
    <message>
        <source>Time range: stored %1 days, yours %2 days</source>
        <translation>Zeitraum: gespeichert %1 Tage, Ihr Wert %2 Tage</translation>
    </message>
    <message>
        <source>Cameras: stored %1, yours %2</source>
        <translation>Kameras: gespeichert %1, Ihr Wert %2</translation>
    </message>
    <message>
        <source>Schedule name: stored %1, yours %2</source>
        <translation>Name des Zeitplans: gespeichert %1, Ihr Wert %2</translation>
    </message>
    <message>
        <source>Week grid: yours differs from the stored one</source>
        <translation>Wochenraster: Ihres weicht vom gespeicherten ab</translation>
    </message>
    <message>
        <source>on</source>
        <translation>ein</translation>
    </message>
    <message>
        <source>off</source>
        <translation>aus</translation>
    </message>
    <message>
        <source>all cameras</source>
        <translation>alle Kameras</translation>
    </message>
    <message numerus="yes">
        <source>%1 and %n more</source>
        <translation>
            <numerusform>%1 und %n weitere</numerusform>
            <numerusform>%1 und %n weitere</numerusform>
        </translation>
    </message>
    <message>
        <source>none</source>
        <translation>keine</translation>
    </message>
    <message>
        <source>Overwrite the stored settings?</source>
        <translation>Gespeicherte Einstellungen überschreiben?</translation>
    </message>
    <message>
        <source>Overwrite</source>
        <translation>Überschreiben</translation>
    </message>
    <message>
        <source>Saves the listed values of this page over the stored ones and keeps the other stored values.</source>
        <translation>Speichert die aufgeführten Werte dieser Seite über die gespeicherten und behält die übrigen gespeicherten Werte.</translation>
    </message>
</context>
<context>
    <name>PageDialogs</name>
    <message>
        <source>Discard changes?</source>
        <translation>Änderungen verwerfen?</translation>
    </message>
    <message>
        <source>Discards the changes and loads the stored settings.</source>
        <translation>Verwirft die Änderungen und lädt die gespeicherten Einstellungen.</translation>
    </message>
    <message>
        <source>Reload</source>
        <translation>Neu laden</translation>
    </message>
    <message>
        <source>Reloading shows the stored settings and discards the changes on this page.</source>
        <translation>Neu laden zeigt die gespeicherten Einstellungen und verwirft die Änderungen auf dieser Seite.</translation>
    </message>
</context>
<context>
    <name>PageFooter</name>
    <message>
        <source>Actions</source>
        <translation>Aktionen</translation>
    </message>
    <message>
        <source>No message</source>
        <translation>Keine Meldung</translation>
    </message>
    <message>
        <source>Busy</source>
        <translation>Beschäftigt</translation>
    </message>
    <message>
        <source>Reload</source>
        <translation>Neu laden</translation>
    </message>
    <message>
        <source>Loads the stored settings, with the other change, and discards the changes on this page.</source>
        <translation>Lädt die gespeicherten Einstellungen mit der anderen Änderung und verwirft die Änderungen auf dieser Seite.</translation>
    </message>
    <message>
        <source>Overwrite</source>
        <translation>Überschreiben</translation>
    </message>
    <message>
        <source>Loads the stored settings again (F5). Asks first when there are unsaved changes.</source>
        <translation>Lädt die gespeicherten Einstellungen erneut (F5). Fragt vorher, wenn es ungespeicherte Änderungen gibt.</translation>
    </message>
    <message>
        <source>Save schedule only</source>
        <translation>Nur Zeitplan speichern</translation>
    </message>
    <message>
        <source>Saves the schedule name and the week grid and keeps the other stored settings; your other changes stay on the page.</source>
        <translation>Speichert den Namen des Zeitplans und das Wochenraster und behält die übrigen gespeicherten Einstellungen; Ihre übrigen Änderungen bleiben auf der Seite.</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Saves all settings of this page (Ctrl+S).</source>
        <translation>Speichert alle Einstellungen dieser Seite (Strg+S).</translation>
    </message>
    <message>
        <source>Loads the newest stored settings, keeps them where you changed nothing and lists your changed values before saving them.</source>
        <translation>Lädt die neuesten gespeicherten Einstellungen, übernimmt sie, wo Sie nichts geändert haben, und listet Ihre geänderten Werte auf, bevor sie gespeichert werden.</translation>
    </message>
    <message>
        <source>Close without waiting</source>
        <translation>Schließen, ohne zu warten</translation>
    </message>
    <message>
        <source>Closes the window now. The server has not confirmed the save yet: the change may not be stored.</source>
        <translation>Schließt das Fenster jetzt. Der Server hat das Speichern noch nicht bestätigt: Die Änderung wird möglicherweise nicht gespeichert.</translation>
    </message>
</context>
<context>
    <name>PageSession</name>
    <message>
        <source>The settings could not be loaded. Reload to try again.</source>
        <translation>Die Einstellungen konnten nicht geladen werden. Laden Sie sie neu, um es erneut zu versuchen.</translation>
    </message>
    <message>
        <source>Saving… The window stays open until the server has confirmed the save, however long that takes. If you close without waiting, the change may not be stored.</source>
        <translation>Wird gespeichert… Das Fenster bleibt offen, bis der Server das Speichern bestätigt hat, wie lange das auch dauert. Wenn Sie schließen, ohne zu warten, wird die Änderung möglicherweise nicht gespeichert.</translation>
    </message>
    <message>
        <source>Saving… What you typed was not applied: the fields wait for the server&apos;s reply.</source>
        <translation>Wird gespeichert… Ihre Eingabe wurde nicht übernommen: Die Felder warten auf die Antwort des Servers.</translation>
    </message>
    <message>
        <source>Correct the marked fields. Nothing was sent.</source>
        <translation>Korrigieren Sie die markierten Felder. Nichts wurde gesendet.</translation>
    </message>
    <message>
        <source>Loading settings…</source>
        <translation>Einstellungen werden geladen…</translation>
    </message>
    <message>
        <source>Reading back the saved schedule…</source>
        <translation>Der gespeicherte Zeitplan wird zurückgelesen…</translation>
    </message>
    <message>
        <source>Loading the newest settings to compare them with this page&apos;s values…</source>
        <translation>Die neuesten Einstellungen werden geladen, um sie mit den Werten dieser Seite zu vergleichen…</translation>
    </message>
    <message>
        <source>Saving…</source>
        <translation>Wird gespeichert…</translation>
    </message>
    <message>
        <source>The request could not be sent. Nothing was saved.</source>
        <translation>Die Anfrage konnte nicht gesendet werden. Nichts wurde gespeichert.</translation>
    </message>
    <message>
        <source>The settings could not be loaded.</source>
        <translation>Die Einstellungen konnten nicht geladen werden.</translation>
    </message>
    <message>
        <source>The schedule was saved, but could not be read back. Reload to see it.</source>
        <translation>Der Zeitplan wurde gespeichert, konnte aber nicht zurückgelesen werden. Laden Sie neu, um ihn zu sehen.</translation>
    </message>
    <message>
        <source>The settings were changed elsewhere since they were loaded. Reload shows the other change and discards yours; Overwrite loads the other change and lists your values before it writes only the fields you changed.</source>
        <translation>Die Einstellungen wurden seit dem Laden an anderer Stelle geändert. Neu laden zeigt die andere Änderung und verwirft Ihre; Überschreiben lädt die andere Änderung, listet Ihre Werte auf und schreibt nur die Felder, die Sie geändert haben.</translation>
    </message>
    <message>
        <source>The server refused the change: no target directory.</source>
        <translation>Der Server hat die Änderung abgelehnt: kein Zielverzeichnis.</translation>
    </message>
    <message>
        <source>The server refused the change: it does not know a selected camera.</source>
        <translation>Der Server hat die Änderung abgelehnt: Er kennt eine ausgewählte Kamera nicht.</translation>
    </message>
    <message>
        <source>The server refused the schedule.</source>
        <translation>Der Server hat den Zeitplan abgelehnt.</translation>
    </message>
    <message>
        <source>The server refused the change.</source>
        <translation>Der Server hat die Änderung abgelehnt.</translation>
    </message>
    <message>
        <source>The server refused the change: %1</source>
        <translation>Der Server hat die Änderung abgelehnt: %1</translation>
    </message>
    <message>
        <source>Schedule saved. Your other changes are not saved yet.</source>
        <translation>Zeitplan gespeichert. Ihre übrigen Änderungen sind noch nicht gespeichert.</translation>
    </message>
    <message>
        <source>Schedule saved.</source>
        <translation>Zeitplan gespeichert.</translation>
    </message>
    <message>
        <source>Unsaved changes</source>
        <translation>Ungespeicherte Änderungen</translation>
    </message>
    <message>
        <source>Saved. What you typed during the save was not applied.</source>
        <translation>Gespeichert. Ihre Eingabe während des Speicherns wurde nicht übernommen.</translation>
    </message>
    <message>
        <source>Saved</source>
        <translation>Gespeichert</translation>
    </message>
    <message>
        <source>The newest stored settings already hold this page&apos;s values. Nothing was sent.</source>
        <translation>Die neuesten gespeicherten Einstellungen enthalten bereits die Werte dieser Seite. Es wurde nichts gesendet.</translation>
    </message>
</context>
<context>
    <name>PageViewer</name>
    <message>
        <source>the plug-in has no getBackupInfoResp(bool) signal</source>
        <translation>das Plug-in hat kein Signal getBackupInfoResp(bool)</translation>
    </message>
    <message>
        <source>Scheduled backup</source>
        <translation>Geplante Sicherung</translation>
    </message>
    <message>
        <source>the page did not load: %1</source>
        <translation>die Seite wurde nicht geladen: %1</translation>
    </message>
    <message>
        <source>the plug-in did not send the settings request</source>
        <translation>das Plug-in hat die Anfrage nach den Einstellungen nicht gesendet</translation>
    </message>
    <message>
        <source>could not save the page to %1</source>
        <translation>die Seite konnte nicht unter %1 gespeichert werden</translation>
    </message>
    <message>
        <source>Data folder: %1 (the old default folder)</source>
        <translation>Datenordner: %1 (der alte Vorgabeordner)</translation>
    </message>
    <message>
        <source>Data folder: %1</source>
        <translation>Datenordner: %1</translation>
    </message>
</context>
<context>
    <name>ScheduleEditor</name>
    <message>
        <source>Weekly schedule</source>
        <translation>Wochenplan</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Schedule name</source>
        <translation>Name des Zeitplans</translation>
    </message>
    <message>
        <source>Name under which the server keeps the weekly schedule.</source>
        <translation>Name, unter dem der Server den Wochenplan führt.</translation>
    </message>
    <message>
        <source>Times are local time, %1. Drag across the grid to add windows; drag from a window to remove it.</source>
        <translation>Die Zeiten sind Ortszeit, %1. Ziehen Sie über das Raster, um Zeitfenster hinzuzufügen; ziehen Sie von einem Zeitfenster aus, um es zu entfernen.</translation>
    </message>
    <message>
        <source>Weekly schedule (saving, wait for the reply…)</source>
        <translation>Wochenplan (wird gespeichert, bitte auf die Antwort warten…)</translation>
    </message>
</context>
<context>
    <name>SchedulePage</name>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Scroll the page</source>
        <translation>Seite blättern</translation>
    </message>
    <message>
        <source>Scheduled backup</source>
        <translation>Geplante Sicherung</translation>
    </message>
    <message>
        <source>The server needs a target directory.</source>
        <translation>Der Server braucht ein Zielverzeichnis.</translation>
    </message>
    <message>
        <source>The server does not know one of the selected cameras.</source>
        <translation>Der Server kennt eine der ausgewählten Kameras nicht.</translation>
    </message>
    <message>
        <source>The server refused this schedule.</source>
        <translation>Der Server hat diesen Zeitplan abgelehnt.</translation>
    </message>
    <message>
        <source>Loading settings</source>
        <translation>Einstellungen werden geladen</translation>
    </message>
</context>
<context>
    <name>ScheduleTools</name>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Takes back the last change of the week grid (Ctrl+Z).</source>
        <translation>Nimmt die letzte Änderung des Wochenrasters zurück (Strg+Z).</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederholen</translation>
    </message>
    <message>
        <source>Makes the change taken back again (Ctrl+Shift+Z).</source>
        <translation>Führt die zurückgenommene Änderung erneut aus (Strg+Umschalt+Z).</translation>
    </message>
    <message>
        <source>Presets</source>
        <translation>Vorlagen</translation>
    </message>
    <message>
        <source>Replaces the week with a common schedule; Undo brings the old one back.</source>
        <translation>Ersetzt die Woche durch einen üblichen Zeitplan; Rückgängig stellt den alten wieder her.</translation>
    </message>
    <message>
        <source>Office hours (Mon–Fri 09:00–17:00)</source>
        <translation>Bürozeiten (Mo–Fr 09:00–17:00)</translation>
    </message>
    <message>
        <source>Nights (every day 22:00–06:00)</source>
        <translation>Nachts (täglich 22:00–06:00)</translation>
    </message>
    <message>
        <source>Weekends (Sat and Sun, all day)</source>
        <translation>Wochenenden (Sa und So, ganztägig)</translation>
    </message>
    <message>
        <source>Always</source>
        <translation>Immer</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keine</translation>
    </message>
    <message>
        <source>Copy day…</source>
        <translation>Tag kopieren…</translation>
    </message>
    <message>
        <source>Copies the windows of one day to other days.</source>
        <translation>Kopiert die Zeitfenster eines Tages auf andere Tage.</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
    <message>
        <source>Removes every window from the week grid; Undo (Ctrl+Z) brings them back.</source>
        <translation>Entfernt alle Zeitfenster aus dem Wochenraster; Rückgängig (Strg+Z) stellt sie wieder her.</translation>
    </message>
    <message>
        <source>Window</source>
        <translation>Zeitfenster</translation>
    </message>
    <message>
        <source>Add a window</source>
        <translation>Zeitfenster hinzufügen</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Adds the typed window to the week grid.</source>
        <translation>Fügt das eingegebene Zeitfenster dem Wochenraster hinzu.</translation>
    </message>
    <message>
        <source>Not understood. Write days and windows on whole or half hours, e.g. Mon-Fri 08:30-12:00.</source>
        <translation>Nicht verstanden. Schreiben Sie Tage und Zeitfenster auf ganze oder halbe Stunden, z. B. Mo-Fr 08:30-12:00.</translation>
    </message>
    <message>
        <source>Type days and a window, e.g. Mon-Fri 08:30-12:00, and press Return to add it to the week grid.</source>
        <translation>Geben Sie Tage und ein Zeitfenster ein, z. B. Mo-Fr 08:30-12:00, und drücken Sie die Eingabetaste, um es dem Wochenraster hinzuzufügen.</translation>
    </message>
</context>
<context>
    <name>SettingsPane</name>
    <message>
        <source>Directory on the server the recordings are copied to, e.g. /srv/backup/video. Required.</source>
        <translation>Verzeichnis auf dem Server, in das die Aufnahmen kopiert werden, z. B. /srv/backup/video. Pflichtangabe.</translation>
    </message>
    <message>
        <source>Backup</source>
        <translation>Sicherung</translation>
    </message>
    <message>
        <source>Back up on schedule</source>
        <translation>Nach Zeitplan sichern</translation>
    </message>
    <message>
        <source>Copies recordings to the target directory during the windows of the weekly schedule. When off, nothing is backed up; the schedule and the limits are kept but inactive.</source>
        <translation>Kopiert Aufnahmen in den Zeitfenstern des Wochenplans in das Zielverzeichnis. Wenn aus, wird nichts gesichert; Zeitplan und Grenzen bleiben erhalten, sind aber inaktiv.</translation>
    </message>
    <message>
        <source>Overwrite oldest recordings when full</source>
        <translation>Älteste Aufnahmen überschreiben, wenn voll</translation>
    </message>
    <message>
        <source>When the target directory is full, the oldest backed-up recordings are overwritten. When off, the backup stops once the target is full.</source>
        <translation>Wenn das Zielverzeichnis voll ist, werden die ältesten gesicherten Aufnahmen überschrieben. Wenn aus, hält die Sicherung an, sobald das Ziel voll ist.</translation>
    </message>
    <message>
        <source>Target directory</source>
        <translation>Zielverzeichnis</translation>
    </message>
    <message>
        <source>Enter the directory the backup is written to.</source>
        <translation>Geben Sie das Verzeichnis ein, in das gesichert wird.</translation>
    </message>
    <message>
        <source>Max. throughput</source>
        <translation>Max. Durchsatz</translation>
    </message>
    <message>
        <source>MB</source>
        <translation>MB</translation>
    </message>
    <message>
        <source>Upper limit of the backup&apos;s throughput in MB (1 MB = 1,048,576 bytes; the server receives the value in bytes). 0 means no limit. From 0 to %1 MB.</source>
        <translation>Obergrenze für den Durchsatz der Sicherung in MB (1 MB = 1.048.576 Byte; der Server erhält den Wert in Byte). 0 bedeutet keine Grenze. Von 0 bis %1 MB.</translation>
    </message>
    <message>
        <source>Time range</source>
        <translation>Zeitraum</translation>
    </message>
    <message>
        <source>days</source>
        <translation>Tage</translation>
    </message>
    <message>
        <source>Limits the time range the backup covers, in days (1 day = 1,440 minutes; the server receives the value in minutes). 0 means no limit. From 0 to %1 days.</source>
        <translation>Begrenzt den Zeitraum, den die Sicherung umfasst, in Tagen (1 Tag = 1.440 Minuten; der Server erhält den Wert in Minuten). 0 bedeutet keine Grenze. Von 0 bis %1 Tage.</translation>
    </message>
    <message>
        <source>Backup (saving, wait for the reply…)</source>
        <translation>Sicherung (wird gespeichert, bitte auf die Antwort warten…)</translation>
    </message>
    <message>
        <source>The directory must not contain control characters.</source>
        <translation>Der Ordner darf keine Steuerzeichen enthalten.</translation>
    </message>
</context>
<context>
    <name>StatusPane</name>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>unbekannt</translation>
    </message>
    <message>
        <source>Backup path</source>
        <translation>Sicherungspfad</translation>
    </message>
    <message>
        <source>Current backup</source>
        <translation>Aktuelle Sicherung</translation>
    </message>
    <message>
        <source>Backup progress</source>
        <translation>Fortschritt der Sicherung</translation>
    </message>
    <message>
        <source>How far the running backup has got, in percent.</source>
        <translation>Wie weit die laufende Sicherung ist, in Prozent.</translation>
    </message>
    <message>
        <source>%1 %</source>
        <translation>%1 %</translation>
    </message>
    <message>
        <source>Next backup</source>
        <translation>Nächste Sicherung</translation>
    </message>
    <message>
        <source>Time zone</source>
        <translation>Zeitzone</translation>
    </message>
    <message>
        <source>Schedule times are local time, %1</source>
        <translation>Die Zeiten des Zeitplans sind Ortszeit, %1</translation>
    </message>
</context>
<context>
    <name>WeekGrid</name>
    <message>
        <source>%1 %2 to %3, scheduled</source>
        <translation>%1 %2 bis %3, geplant</translation>
    </message>
    <message>
        <source>%1 %2 to %3, not scheduled</source>
        <translation>%1 %2 bis %3, nicht geplant</translation>
    </message>
    <message>
        <source>S</source>
        <comment>Sunday</comment>
        <translation>So</translation>
    </message>
    <message>
        <source>M</source>
        <comment>Monday</comment>
        <translation>Mo</translation>
    </message>
    <message>
        <source>T</source>
        <comment>Tuesday</comment>
        <translation>Di</translation>
    </message>
    <message>
        <source>W</source>
        <comment>Wednesday</comment>
        <translation>Mi</translation>
    </message>
    <message>
        <source>T</source>
        <comment>Thursday</comment>
        <translation>Do</translation>
    </message>
    <message>
        <source>F</source>
        <comment>Friday</comment>
        <translation>Fr</translation>
    </message>
    <message>
        <source>S</source>
        <comment>Saturday</comment>
        <translation>Sa</translation>
    </message>
    <message>
        <source>Fill %1</source>
        <translation>%1 füllen</translation>
    </message>
    <message>
        <source>Schedules the whole day, or clears it when it is already full</source>
        <translation>Plant den ganzen Tag ein oder leert ihn, wenn er schon voll ist</translation>
    </message>
    <message>
        <source>Fill %1 hour</source>
        <translation>Stunde %1 füllen</translation>
    </message>
    <message>
        <source>Schedules this hour on every day, or clears it when it is already full</source>
        <translation>Plant diese Stunde an jedem Tag ein oder leert sie, wenn sie schon voll ist</translation>
    </message>
    <message>
        <source>Weekly schedule</source>
        <translation>Wochenplan</translation>
    </message>
    <message>
        <source>%1 hours a week</source>
        <translation>%1 Stunden pro Woche</translation>
    </message>
    <message>
        <source>%1 %2 to %3</source>
        <translation>%1 %2 bis %3</translation>
    </message>
    <message>
        <source>Arrows move, Shift+arrows mark, Space paints</source>
        <translation>Pfeile bewegen, Umschalt+Pfeile markieren, Leertaste malt</translation>
    </message>
    <message>
        <source>Drag to paint; drag from a painted cell to erase</source>
        <translation>Ziehen malt; Ziehen von einer bemalten Zelle aus löscht</translation>
    </message>
</context>
<context>
    <name>WeekSchedule</name>
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
        <source>&quot;%1&quot;: expected HH:MM-HH:MM on whole or half hours</source>
        <translation>&quot;%1&quot;: HH:MM-HH:MM zu vollen oder halben Stunden erwartet</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: the window ends before it starts</source>
        <translation>&quot;%1&quot;: das Fenster endet, bevor es beginnt</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: unknown day</source>
        <translation>&quot;%1&quot;: unbekannter Tag</translation>
    </message>
    <message>
        <source>schedule document is not a JSON object</source>
        <translation>das Zeitplandokument ist kein JSON-Objekt</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Shows the scheduled-backup settings page against the embedded backup service.</source>
        <translation>Zeigt die Einstellungsseite der geplanten Sicherung mit dem eingebetteten Sicherungsdienst.</translation>
    </message>
    <message>
        <source>Save a PNG of the page once the settings are loaded, then quit.</source>
        <translation>Speichert ein PNG der Seite, sobald die Einstellungen geladen sind, und beendet dann.</translation>
    </message>
    <message>
        <source>file</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>unexpected argument &quot;%1&quot;</source>
        <translation>unerwartetes Argument „%1“</translation>
    </message>
    <message>
        <source>%1 (see --help)</source>
        <translation>%1 (siehe --help)</translation>
    </message>
</context>
</TS>
