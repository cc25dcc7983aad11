<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>Enduser license</source>
        <translation>Лицензионный договор пользователя</translation>
    </message>
    <message>
        <source>Enduser license</source>
        <comment>tab</comment>
        <translation>Лицензионный
договор
пользователя</translation>
    </message>
    <message>
        <source>Legal notice</source>
        <translation>Правовое уведомление</translation>
    </message>
    <message>
        <source>Legal notice</source>
        <comment>tab</comment>
        <translation>Правовое
уведомление</translation>
    </message>
    <message>
        <source>Licenses</source>
        <translation>Лицензии</translation>
    </message>
    <message>
        <source>Privacy</source>
        <translation>Защита
данных</translation>
    </message>
    <message>
        <source>Privacy statement</source>
        <translation>Защита данных</translation>
    </message>
    <message>
        <source>This application uses the following 3rd-party opensource components</source>
        <translation>Это приложение использует &#xa0;компоненты из открытых источников 3-их сторон</translation>
    </message>
    <message>
        <source>Version: %1</source>
        <translation>Версия: %1</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
</context>
<context>
    <name>ChannelComposer</name>
    <message>
        <source>No %1 recording</source>
        <translation>Нет записи «%1»</translation>
    </message>
</context>
<context>
    <name>ChannelDeck</name>
    <message>
        <source>%1 (click: show large)</source>
        <translation>%1 (щелчок: показать крупно)</translation>
    </message>
</context>
<context>
    <name>ChannelView</name>
    <message>
        <source>front</source>
        <translation>спереди</translation>
    </message>
    <message>
        <source>rear</source>
        <translation>сзади</translation>
    </message>
    <message>
        <source>interior</source>
        <translation>салон</translation>
    </message>
    <message>
        <source>left side</source>
        <translation>слева</translation>
    </message>
    <message>
        <source>right side</source>
        <translation>справа</translation>
    </message>
    <message>
        <source>left pillar</source>
        <translation>левая стойка</translation>
    </message>
    <message>
        <source>right pillar</source>
        <translation>правая стойка</translation>
    </message>
    <message>
        <source>The %1 recording cannot be played</source>
        <translation>Запись камеры «%1» не воспроизводится</translation>
    </message>
    <message>
        <source>No %1 recording for %2–%3</source>
        <translation>Нет записи «%1» за %2–%3</translation>
    </message>
</context>
<context>
    <name>ClipExport</name>
    <message>
        <source>Cannot read the video of %1.</source>
        <translation>Не удаётся прочитать видео %1.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Не удаётся записать %1: %2</translation>
    </message>
    <message>
        <source>Cannot write the clip.</source>
        <translation>Не удаётся записать клип.</translation>
    </message>
    <message>
        <source>Nothing to export in this range.</source>
        <translation>В этом отрезке нечего экспортировать.</translation>
    </message>
    <message>
        <source>Refusing to overwrite the recording %1.</source>
        <translation>Запись %1 не будет перезаписана.</translation>
    </message>
    <message>
        <source>The export was cancelled.</source>
        <translation>Экспорт отменён.</translation>
    </message>
    <message>
        <source>The files of this range differ in format and cannot be joined without re-encoding.</source>
        <translation>Файлы этого отрезка различаются по формату и не могут быть объединены без перекодирования.</translation>
    </message>
    <message>
        <source>The recorded format cannot be written to MP4.</source>
        <translation>Записанный формат нельзя сохранить в MP4.</translation>
    </message>
    <message>
        <source>The trip has no video to export.</source>
        <translation>В поездке нет видео для экспорта.</translation>
    </message>
    <message>
        <source>Cannot find the start of the range in %1.</source>
        <translation>Не удаётся найти начало отрезка в %1.</translation>
    </message>
    <message>
        <source>The %1 recording %2 cannot be read: %3</source>
        <translation>Не удаётся прочитать запись %2 канала %1: %3</translation>
    </message>
    <message>
        <source>No %1 clip written: %2</source>
        <translation>Фрагмент канала %1 не записан: %2</translation>
    </message>
    <message>
        <source>No %1 recording from %2 to %3</source>
        <translation>Нет записи канала %1 с %2 до %3</translation>
    </message>
    <message>
        <source>no video</source>
        <translation>нет видео</translation>
    </message>
    <message>
        <source>the range cannot be found in it</source>
        <translation>в ней не найден нужный отрезок</translation>
    </message>
</context>
<context>
    <name>ClipExportJob</name>
    <message>
        <source>Export clip</source>
        <translation>Экспорт фрагмента</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Writing %1…</source>
        <translation>Запись %1…</translation>
    </message>
    <message>
        <source>Export with data</source>
        <translation>Экспорт с данными</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>--%1 %2 is no trip position: use mm:ss, hh:mm:ss or seconds.</source>
        <translation>--%1 %2 — не место в поездке: используйте мм:сс, чч:мм:сс или секунды.</translation>
    </message>
    <message>
        <source>--%1 does not apply to --%2.</source>
        <translation>--%1 не относится к --%2.</translation>
    </message>
    <message>
        <source>--%1 needs a command.</source>
        <translation>--%1 требует команды.</translation>
    </message>
    <message>
        <source>--at lies after the end of trip %1 (%2).</source>
        <translation>--at позже конца поездки %1 (%2).</translation>
    </message>
    <message>
        <source>--export-track takes gpx, kml or csv, not %1.</source>
        <translation>--export-track принимает gpx, kml или csv, а не %1.</translation>
    </message>
    <message>
        <source>--from lies after the end of trip %1 (%2).</source>
        <translation>--from позже конца поездки %1 (%2).</translation>
    </message>
    <message>
        <source>--time-offset takes ±HH:MM, not %1.</source>
        <translation>--time-offset принимает ±ЧЧ:ММ, а не %1.</translation>
    </message>
    <message>
        <source>--to lies before --from.</source>
        <translation>--to раньше, чем --from.</translation>
    </message>
    <message>
        <source>--trip takes a trip number from 1 on, not %1.</source>
        <translation>--trip принимает номер поездки от 1, а не %1.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Не удаётся записать %1: %2</translation>
    </message>
    <message>
        <source>Choose the trip with --trip N.</source>
        <translation>Выберите поездку с помощью --trip N.</translation>
    </message>
    <message>
        <source>End of the range, included.</source>
        <translation>Конец отрезка, включительно.</translation>
    </message>
    <message>
        <source>Exports the positions of a trip as gpx, kml or csv.</source>
        <translation>Экспортирует координаты поездки в gpx, kml или csv.</translation>
    </message>
    <message>
        <source>Give one command at a time, not --%1.</source>
        <translation>Укажите только одну команду, а не --%1.</translation>
    </message>
    <message>
        <source>Give the position with --at T.</source>
        <translation>Укажите место: --at T.</translation>
    </message>
    <message>
        <source>Give the range with --from T --to T.</source>
        <translation>Укажите отрезок: --from T --to T.</translation>
    </message>
    <message>
        <source>Name the file to write with -o FILE.</source>
        <translation>Укажите файл для записи: -o ФАЙЛ.</translation>
    </message>
    <message>
        <source>Name the recordings: video files or folders.</source>
        <translation>Укажите записи: видеофайлы или папки.</translation>
    </message>
    <message>
        <source>No command given.</source>
        <translation>Команда не указана.</translation>
    </message>
    <message>
        <source>No playable recordings found.</source>
        <translation>Воспроизводимых записей не найдено.</translation>
    </message>
    <message>
        <source>Plays the recordings of an in-car camera. With a command, it exports or lists them without a window.</source>
        <translation>Воспроизводит записи автомобильной камеры. С командой экспортирует или перечисляет их без окна.</translation>
    </message>
    <message>
        <source>Position of the still.</source>
        <translation>Место снимка.</translation>
    </message>
    <message>
        <source>Prints the trips of the recordings as JSON.</source>
        <translation>Выводит поездки записей в формате JSON.</translation>
    </message>
    <message>
        <source>Recordings: video files and folders.</source>
        <translation>Записи: видеофайлы и папки.</translation>
    </message>
    <message>
        <source>Saves the frame at a trip position as PNG.</source>
        <translation>Сохраняет кадр в заданном месте поездки в PNG.</translation>
    </message>
    <message>
        <source>Offset of local time from the recorded UTC, e.g. +02:00.</source>
        <translation>Смещение местного времени от записанного UTC, например +02:00.</translation>
    </message>
    <message>
        <source>Start of the range: mm:ss, hh:mm:ss or seconds.</source>
        <translation>Начало отрезка: мм:сс, чч:мм:сс или секунды.</translation>
    </message>
    <message>
        <source>The file to write.</source>
        <translation>Файл для записи.</translation>
    </message>
    <message>
        <source>The trip, numbered as --list numbers them.</source>
        <translation>Поездка, с номером как в --list.</translation>
    </message>
    <message numerus="yes">
        <source>There is no trip %1: the recordings hold %n trip(s).</source>
        <translation>
            <numerusform>Поездки %1 нет: в записях %n поездка.</numerusform>
            <numerusform>Поездки %1 нет: в записях %n поездки.</numerusform>
            <numerusform>Поездки %1 нет: в записях %n поездок.</numerusform>
        </translation>
    </message>
    <message>
        <source>Trip %1 has no position data.</source>
        <translation>В поездке %1 нет данных о местоположении.</translation>
    </message>
    <message>
        <source>Trip %1 has no position data: no GPX file written.</source>
        <translation>В поездке %1 нет данных о местоположении: файл GPX не записан.</translation>
    </message>
    <message>
        <source>Try &apos;%1 --help&apos; for the options.</source>
        <translation>Параметры показывает &apos;%1 --help&apos;.</translation>
    </message>
    <message>
        <source>Writes date, time and offset, coordinates, speed and heading below the still.</source>
        <translation>Пишет дату, время со смещением, координаты, скорость и курс под снимком.</translation>
    </message>
    <message>
        <source>Writes diagnostic messages to stderr.</source>
        <translation>Выводит диагностические сообщения в stderr.</translation>
    </message>
    <message>
        <source>Replaces files that exist already instead of refusing to write them.</source>
        <translation>Заменяет существующие файлы вместо отказа от записи.</translation>
    </message>
    <message>
        <source>%1 exists already; give --overwrite to replace it.</source>
        <translation>Файл %1 уже существует; чтобы заменить его, укажите --overwrite.</translation>
    </message>
    <message>
        <source>Exports a range of a trip as one MP4 file, with a GPX file beside it. Without re-encoding, it starts at the key frame at or before --from.</source>
        <translation>Экспортирует отрезок поездки в один файл MP4 и кладёт рядом файл GPX. Без перекодирования он начинается с ключевого кадра в --from или перед ним.</translation>
    </message>
    <message>
        <source>Re-encodes the clip&apos;s pictures from --from to the next key frame, so that it starts at --from.</source>
        <translation>Перекодирует кадры фрагмента от --from до следующего ключевого кадра, чтобы он начинался точно с --from.</translation>
    </message>
    <message>
        <source>The clip starts %1 s before --from, at %2 (key frame): its video cannot be re-encoded.</source>
        <translation>Фрагмент начинается на %1 с раньше --from, в %2 (ключевой кадр): его видео нельзя перекодировать.</translation>
    </message>
    <message>
        <source>The clip starts %1 s before --from, at %2 (key frame); --exact-cut starts it at --from.</source>
        <translation>Фрагмент начинается на %1 с раньше --from, в %2 (ключевой кадр); с --exact-cut он начинается с --from.</translation>
    </message>
    <message>
        <source>Re-encodes the clip with a band of data in the picture: date and time, speed, coordinates and heading.</source>
        <translation>Перекодирует фрагмент с полосой данных в кадре: дата и время, скорость, координаты и курс.</translation>
    </message>
    <message>
        <source>What --overlay draws: band, map, graph, separated by commas.</source>
        <translation>Что рисует --overlay: band, map, graph через запятую.</translation>
    </message>
    <message>
        <source>Speed in km/h or mph in the overlay and the still&apos;s band.</source>
        <translation>Скорость в km/h или mph в наложении и в полосе данных снимка.</translation>
    </message>
    <message>
        <source>Blurs or pixelates the rectangles of a mask file (JSON) in the overlay export or the still.</source>
        <translation>Размывает или пикселизирует прямоугольники из файла масок (JSON) в экспорте с данными или на снимке.</translation>
    </message>
    <message>
        <source>Leaves out every position within RADIUS_M metres of LAT,LON; may be repeated.</source>
        <translation>Исключает все позиции в радиусе RADIUS_M метров от LAT,LON; можно указать несколько раз.</translation>
    </message>
    <message>
        <source>--units takes km/h or mph, not %1.</source>
        <translation>--units принимает km/h или mph, а не %1.</translation>
    </message>
    <message>
        <source>--%1 needs --overlay: the clip is re-encoded then.</source>
        <translation>--%1 требует --overlay: тогда фрагмент перекодируется.</translation>
    </message>
    <message>
        <source>Bad mask file: %1</source>
        <translation>Ошибка в файле масок: %1</translation>
    </message>
    <message>
        <source>The camera channel (as --list names it) of the clip or still, or all: one file per channel, named with _&lt;channel&gt; before the extension, all of the same instant (clips re-encoded from --from to each channel&apos;s next key frame). Exit code 3: written, but some channel has no readable recording for part of it.</source>
        <translation>Канал камеры (как его называет --list) для фрагмента или снимка, или all: по файлу на канал, с _&lt;канал&gt; перед расширением, все одного и того же момента (фрагменты перекодируются от --from до следующего ключевого кадра каждого канала). Код выхода 3: записано, но у какого-то канала нет читаемой записи для части отрезка.</translation>
    </message>
    <message>
        <source>Trip %1 has no channel %2; its channels: %3.</source>
        <translation>В поездке %1 нет канала %2; её каналы: %3.</translation>
    </message>
    <message>
        <source>Neither reads nor writes the cache of lengths, checks, position data and thumbnails of recordings.</source>
        <translation>Не читает и не пишет кэш длительностей, проверок, данных о местоположении и миниатюр записей.</translation>
    </message>
    <message>
        <source>--overlay-items takes band, map and graph, separated by commas, not %1.</source>
        <translation>--overlay-items принимает band, map и graph через запятую, а не %1.</translation>
    </message>
    <message>
        <source>--layout takes pip, side or main, not %1.</source>
        <translation>--layout принимает pip, side или main, а не %1.</translation>
    </message>
    <message>
        <source>With --overlay, composes the trip&apos;s channels into one picture, each of the same instant: pip (the others small in the lower right corner), side (side by side) or main (one channel). --channel NAME is the large one, and alone without --layout.</source>
        <translation>С --overlay собирает каналы поездки в одно изображение, все в один и тот же момент: pip (остальные маленькими в правом нижнем углу), side (рядом) или main (один канал). --channel NAME — крупный канал, а без --layout — единственный.</translation>
    </message>
</context>
<context>
    <name>CommandLineTrips</name>
    <message>
        <source>No such file or folder: %1</source>
        <translation>Нет такого файла или папки: %1</translation>
    </message>
</context>
<context>
    <name>Compass</name>
    <message>
        <source>N</source>
        <comment>compass: north</comment>
        <translation>С</translation>
    </message>
    <message>
        <source>E</source>
        <comment>compass: east</comment>
        <translation>В</translation>
    </message>
    <message>
        <source>S</source>
        <comment>compass: south</comment>
        <translation>Ю</translation>
    </message>
    <message>
        <source>W</source>
        <comment>compass: west</comment>
        <translation>З</translation>
    </message>
</context>
<context>
    <name>ControlPanelWgt</name>
    <message>
        <source>00:00</source>
        <translation>00:00</translation>
    </message>
    <message>
        <source>Playback speed (%1 slower, %2 faster, %3 normal)</source>
        <translation>Скорость воспроизведения (%1 медленнее, %2 быстрее, %3 обычная)</translation>
    </message>
    <message>
        <source>In point; again at the same place clears it</source>
        <translation>Начальная точка; повторно в том же месте — сброс</translation>
    </message>
    <message>
        <source>Out point; again at the same place clears it</source>
        <translation>Конечная точка; повторно в том же месте — сброс</translation>
    </message>
    <message>
        <source>Save the picture as PNG</source>
        <translation>Сохранить кадр в PNG</translation>
    </message>
    <message>
        <source>Export the clip between the in and out points (or the whole trip); the menu exports the track</source>
        <translation>Экспорт фрагмента между начальной и конечной точками (или всей поездки); в меню — экспорт трека</translation>
    </message>
</context>
<context>
    <name>DriveData</name>
    <message>
        <source>No data</source>
        <translation>Нет данных</translation>
    </message>
</context>
<context>
    <name>EvidenceExport</name>
    <message>
        <source>trip</source>
        <translation>поездка</translation>
    </message>
    <message>
        <source>Export clip</source>
        <translation>Экспорт фрагмента</translation>
    </message>
    <message>
        <source>MP4 video (*.mp4)</source>
        <translation>Видео MP4 (*.mp4)</translation>
    </message>
    <message>
        <source>Clip saved: %1 (with its track as GPX)</source>
        <translation>Фрагмент сохранён: %1 (с треком в GPX)</translation>
    </message>
    <message>
        <source>Clip saved: %1</source>
        <translation>Фрагмент сохранён: %1</translation>
    </message>
    <message>
        <source>Export cancelled; nothing was written.</source>
        <translation>Экспорт отменён; ничего не записано.</translation>
    </message>
    <message>
        <source>The clip could not be exported.</source>
        <translation>Не удалось экспортировать фрагмент.</translation>
    </message>
    <message>
        <source>The track cannot be exported.</source>
        <translation>Трек нельзя экспортировать.</translation>
    </message>
    <message>
        <source>This trip has no position data.</source>
        <translation>У этой поездки нет данных о местоположении.</translation>
    </message>
    <message>
        <source>%1 files (*.%2)</source>
        <translation>Файлы %1 (*.%2)</translation>
    </message>
    <message>
        <source>Export track</source>
        <translation>Экспорт трека</translation>
    </message>
    <message>
        <source>The track could not be exported.</source>
        <translation>Не удалось экспортировать трек.</translation>
    </message>
    <message>
        <source>Track saved: %1</source>
        <translation>Трек сохранён: %1</translation>
    </message>
    <message>
        <source>The snapshot could not be saved.</source>
        <translation>Не удалось сохранить снимок.</translation>
    </message>
    <message>
        <source>The folder %1 cannot be created.</source>
        <translation>Не удаётся создать папку %1.</translation>
    </message>
    <message>
        <source>Snapshot saved: %1</source>
        <translation>Снимок сохранён: %1</translation>
    </message>
    <message>
        <source>A clip is still being exported.</source>
        <translation>Фрагмент ещё экспортируется.</translation>
    </message>
    <message>
        <source>Quit once the clip is saved, or cancel the export and quit now?</source>
        <translation>Выйти после сохранения фрагмента или отменить экспорт и выйти сейчас?</translation>
    </message>
    <message>
        <source>Quit when saved</source>
        <translation>Выйти после сохранения</translation>
    </message>
    <message>
        <source>Cancel export and quit</source>
        <translation>Отменить экспорт и выйти</translation>
    </message>
    <message>
        <source>Don&apos;t quit</source>
        <translation>Не выходить</translation>
    </message>
    <message>
        <source>The program quits when the clip is saved.</source>
        <translation>Программа закроется после сохранения фрагмента.</translation>
    </message>
    <message>
        <source>%1 exists already.</source>
        <translation>Файл %1 уже существует.</translation>
    </message>
    <message>
        <source>The clip&apos;s track goes into this file. Replace it?</source>
        <translation>В этот файл записывается трек фрагмента. Заменить его?</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Заменить</translation>
    </message>
    <message>
        <source>Don&apos;t export</source>
        <translation>Не экспортировать</translation>
    </message>
    <message>
        <source>it starts %1 s before the in point, at %2 (key frame)</source>
        <translation>он начинается на %1 с раньше начальной точки, в %2 (ключевой кадр)</translation>
    </message>
    <message>
        <source>Export with data</source>
        <translation>Экспорт с данными</translation>
    </message>
    <message>
        <source>Clips saved: %1</source>
        <translation>Фрагменты сохранены: %1</translation>
    </message>
    <message>
        <source>Snapshots saved: %1</source>
        <translation>Снимки сохранены: %1</translation>
    </message>
    <message>
        <source>A channel&apos;s clip goes into this file. Replace it?</source>
        <translation>В этот файл записывается фрагмент одного из каналов. Заменить его?</translation>
    </message>
</context>
<context>
    <name>ExportMenu</name>
    <message>
        <source>Export clip as MP4 with GPX…</source>
        <translation>Экспорт фрагмента в MP4 с GPX…</translation>
    </message>
    <message>
        <source>Export track as GPX…</source>
        <translation>Экспорт трека в GPX…</translation>
    </message>
    <message>
        <source>Export track as KML…</source>
        <translation>Экспорт трека в KML…</translation>
    </message>
    <message>
        <source>Export track as CSV…</source>
        <translation>Экспорт трека в CSV…</translation>
    </message>
    <message>
        <source>Clear in and out points</source>
        <translation>Сбросить начальную и конечную точки</translation>
    </message>
    <message>
        <source>Exact cut at the in point (re-encodes up to the next key frame)</source>
        <translation>Точный рез по начальной точке (перекодирует до следующего ключевого кадра)</translation>
    </message>
    <message>
        <source>Export with data: date, time, speed and place in the picture…</source>
        <translation>Экспорт с данными: дата, время, скорость и место в кадре…</translation>
    </message>
    <message>
        <source>Draw privacy masks over faces and number plates</source>
        <translation>Нарисовать маски на лицах и номерных знаках</translation>
    </message>
</context>
<context>
    <name>Graph</name>
    <message>
        <source>Speed</source>
        <translation>Скорость</translation>
    </message>
    <message>
        <source>Acceleration X</source>
        <translation>Ускорение X</translation>
    </message>
    <message>
        <source>Acceleration Y</source>
        <translation>Ускорение Y</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Do you want to close the application?</source>
        <translation>Вы действительно хотите закрыть приложение?</translation>
    </message>
    <message>
        <source>Halvard Tarrow</source>
        <translation>Halvard Tarrow</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Да</translation>
    </message>
    <message>
        <source>Settings cannot be saved.</source>
        <translation>Настройки нельзя сохранить.</translation>
    </message>
    <message>
        <source>No folder of your own can be written (neither beside the program nor in your configuration folder). Tarrow runs with its default settings and forgets changes when it closes.</source>
        <translation>Ни одна ваша папка не доступна для записи (ни рядом с программой, ни в папке настроек). Tarrow работает с настройками по умолчанию и забудет изменения при закрытии.</translation>
    </message>
    <message>
        <source>No privacy masks on this trip.</source>
        <translation>У этой поездки нет масок.</translation>
    </message>
    <message>
        <source>Masks saved: exports with data and snapshots of this trip apply them.</source>
        <translation>Маски сохранены: экспорт с данными и снимки этой поездки применяют их.</translation>
    </message>
</context>
<context>
    <name>MapWidget</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Centre on vehicle</source>
        <translation>Центрировать на автомобиле</translation>
    </message>
    <message>
        <source>Show whole route</source>
        <translation>Показать весь маршрут</translation>
    </message>
</context>
<context>
    <name>MaskPanel</name>
    <message>
        <source>The masks could not be saved: %1</source>
        <translation>Не удалось сохранить маски: %1</translation>
    </message>
    <message>
        <source>Drag on the picture to hide a face or a number plate. Step on to where it has gone and drag the mask after it: it moves evenly between the places you set.</source>
        <translation>Проведите по изображению, чтобы скрыть лицо или номерной знак. Перейдите туда, где объект оказался позже, и перетащите маску за ним: она равномерно движется между заданными местами.</translation>
    </message>
    <message>
        <source>Blur</source>
        <translation>Размыть</translation>
    </message>
    <message>
        <source>Pixelate</source>
        <translation>Пикселизировать</translation>
    </message>
    <message>
        <source>Remove keyframe</source>
        <translation>Удалить ключевой кадр</translation>
    </message>
    <message>
        <source>Delete mask</source>
        <translation>Удалить маску</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Готово</translation>
    </message>
</context>
<context>
    <name>Masks</name>
    <message>
        <source>not JSON: %1 at byte %2</source>
        <translation>не JSON: %1 в байте %2</translation>
    </message>
    <message>
        <source>no list &quot;masks&quot; in the file</source>
        <translation>в файле нет списка «masks»</translation>
    </message>
    <message>
        <source>mask %1 has no list &quot;keyframes&quot;</source>
        <translation>у маски %1 нет списка «keyframes»</translation>
    </message>
    <message>
        <source>mask %1: the mode is &quot;blur&quot; or &quot;pixelate&quot;, not &quot;%2&quot;</source>
        <translation>маска %1: режим — «blur» или «pixelate», а не «%2»</translation>
    </message>
    <message>
        <source>mask %1, keyframe %2: &quot;%3&quot; is missing or not a number</source>
        <translation>маска %1, ключевой кадр %2: «%3» отсутствует или не является числом</translation>
    </message>
    <message>
        <source>mask %1, keyframe %2: the time must not be negative, the width and height must be positive</source>
        <translation>маска %1, ключевой кадр %2: время не может быть отрицательным, ширина и высота должны быть положительными</translation>
    </message>
    <message>
        <source>cannot read %1: %2</source>
        <translation>не удаётся прочитать %1: %2</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>не удаётся записать %1: %2</translation>
    </message>
    <message>
        <source>mask %1, keyframe %2 lies outside the picture of %3 × %4 pixels</source>
        <translation>маска %1, ключевой кадр %2 выходит за пределы кадра %3 × %4 пикселей</translation>
    </message>
    <message>
        <source>no data folder for the masks</source>
        <translation>нет папки данных для масок</translation>
    </message>
</context>
<context>
    <name>OverlayExport</name>
    <message>
        <source>The trip has no video to export.</source>
        <translation>В поездке нет видео для экспорта.</translation>
    </message>
    <message>
        <source>Refusing to overwrite the recording %1.</source>
        <translation>Запись %1 не будет перезаписана.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Не удаётся записать %1: %2</translation>
    </message>
    <message>
        <source>The export was cancelled.</source>
        <translation>Экспорт отменён.</translation>
    </message>
    <message>
        <source>Cannot write the clip.</source>
        <translation>Не удаётся записать клип.</translation>
    </message>
    <message>
        <source>Cannot read the video of %1.</source>
        <translation>Не удаётся прочитать видео %1.</translation>
    </message>
    <message>
        <source>Cannot find the start of the range in %1.</source>
        <translation>Не удаётся найти начало отрезка в %1.</translation>
    </message>
    <message>
        <source>No H.264 encoder is installed.</source>
        <translation>Кодировщик H.264 не установлен.</translation>
    </message>
    <message>
        <source>Nothing to export in this range.</source>
        <translation>В этом отрезке нечего экспортировать.</translation>
    </message>
</context>
<context>
    <name>OverlayPainter</name>
    <message>
        <source>no data</source>
        <translation>нет данных</translation>
    </message>
    <message>
        <source>speed unknown</source>
        <translation>скорость неизвестна</translation>
    </message>
    <message>
        <source>position hidden</source>
        <translation>местоположение скрыто</translation>
    </message>
    <message>
        <source>heading %1</source>
        <translation>курс %1</translation>
    </message>
    <message>
        <source>© OpenStreetMap contributors</source>
        <translation>© участники OpenStreetMap</translation>
    </message>
</context>
<context>
    <name>PlaylistWgt</name>
    <message>
        <source>Events</source>
        <translation>События</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Длительность</translation>
    </message>
    <message>
        <source>Invalid files selected!</source>
        <translation>Неверно выбранные файлы!</translation>
    </message>
    <message>
        <source>Open Movie or Directory</source>
        <translation>Открыть фильм или каталог</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Время</translation>
    </message>
    <message>
        <source>Open the camera&apos;s memory card or a folder of recordings; its trips are listed here.</source>
        <translation>Откройте карту памяти камеры или папку с записями; поездки появятся здесь.</translation>
    </message>
    <message numerus="yes">
        <source>%n camera video(s) found.</source>
        <translation>
            <numerusform>Найдено %n видео камеры.</numerusform>
            <numerusform>Найдено %n видео камеры.</numerusform>
            <numerusform>Найдено %n видео камеры.</numerusform>
        </translation>
    </message>
    <message>
        <source>List the files that were left out and why</source>
        <translation>Показать пропущенные файлы и причины</translation>
    </message>
    <message>
        <source>No recordings could be opened from %1.</source>
        <translation>Не удалось открыть записи из %1.</translation>
    </message>
    <message>
        <source>No recordings open</source>
        <translation>Записи не открыты</translation>
    </message>
    <message numerus="yes">
        <source>None of the %n video(s) from %1 could be played.</source>
        <translation>
            <numerusform>Видео из %1 не удаётся воспроизвести.</numerusform>
            <numerusform>Ни одно из %n видео из %1 не удаётся воспроизвести.</numerusform>
            <numerusform>Ни одно из %n видео из %1 не удаётся воспроизвести.</numerusform>
        </translation>
    </message>
    <message>
        <source>Open recordings…</source>
        <translation>Открыть записи…</translation>
    </message>
    <message>
        <source>Shortcut: %1</source>
        <translation>Сочетание клавиш: %1</translation>
    </message>
    <message>
        <source>show the files</source>
        <translation>показать файлы</translation>
    </message>
    <message numerus="yes">
        <source>%n ch.</source>
        <comment>channels, short</comment>
        <translation>
            <numerusform>%n кан.</numerusform>
            <numerusform>%n кан.</numerusform>
            <numerusform>%n кан.</numerusform>
        </translation>
    </message>
    <message>
        <source>Channels: %1</source>
        <translation>Каналы: %1</translation>
    </message>
</context>
<context>
    <name>PrivacyZones</name>
    <message>
        <source>the privacy zone %1 is not LAT,LON,RADIUS_M</source>
        <translation>зона приватности %1 не в виде LAT,LON,RADIUS_M</translation>
    </message>
    <message>
        <source>the privacy zone %1 lies outside the latitudes -90 to 90 and longitudes -180 to 180</source>
        <translation>зона приватности %1 лежит вне широт от -90 до 90 и долгот от -180 до 180</translation>
    </message>
    <message>
        <source>the privacy zone %1 has a negative radius</source>
        <translation>у зоны приватности %1 отрицательный радиус</translation>
    </message>
</context>
<context>
    <name>PrivacyZonesDialog</name>
    <message>
        <source>Privacy zones</source>
        <translation>Зоны приватности</translation>
    </message>
    <message>
        <source>No export shows a position within these circles, such as around your home; time and speed stay. One zone a line: latitude, longitude, radius in metres, e.g. 48.1374,11.5755,200.</source>
        <translation>Ни один экспорт не показывает позиции внутри этих кругов, например вокруг вашего дома; время и скорость остаются. Одна зона на строку: широта, долгота, радиус в метрах, например 48.1374,11.5755,200.</translation>
    </message>
    <message>
        <source>Zones</source>
        <translation>Зоны</translation>
    </message>
    <message>
        <source>Line %1: %2</source>
        <translation>Строка %1: %2</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source> km/h</source>
        <translation> км/ч</translation>
    </message>
    <message>
        <source> m/s²</source>
        <translation> м/с²</translation>
    </message>
    <message>
        <source> mph</source>
        <translation> миль/ч</translation>
    </message>
    <message>
        <source>About</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>Acceleration in m/s²</source>
        <translation>Ускорение  в м/с²</translation>
    </message>
    <message>
        <source>Application already started!</source>
        <translation>Приложение уже запущено!</translation>
    </message>
    <message>
        <source>Backward</source>
        <translation>Назад</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Corrupted file. Video can&apos;t be loaded!</source>
        <translation>Поврежденный файл. Видео не может быть загружен!</translation>
    </message>
    <message>
        <source>Playback stopped: the recording %1 can no longer be read. The card or folder may have been removed.</source>
        <translation>Воспроизведение остановлено: запись %1 больше не читается. Возможно, карта или папка была извлечена.</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>Вперед</translation>
    </message>
    <message>
        <source>Maximize</source>
        <translation>Максимизировать</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Минимизировать</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Открыть</translation>
    </message>
    <message>
        <source>Open Halvard website</source>
        <translation>Открыть сайт Halvard</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Пауза</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Воспроизведение</translation>
    </message>
    <message>
        <source>Restore down</source>
        <translation>Восстановить</translation>
    </message>
    <message>
        <source>Select language</source>
        <translation>Выбрать язык</translation>
    </message>
    <message>
        <source>Speed in km/h</source>
        <translation>Скорость в км/ч</translation>
    </message>
    <message>
        <source>Speed in mph</source>
        <translation>Скорость в миль / ч</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Нет данных</translation>
    </message>
    <message>
        <source>Video fullscreen off</source>
        <translation>Видео: обычный размер</translation>
    </message>
    <message>
        <source>Video fullscreen on</source>
        <translation>Видео: во весь экран</translation>
    </message>
    <message>
        <source>Volume off</source>
        <translation>Тон выключить</translation>
    </message>
    <message>
        <source>Volume on</source>
        <translation>Тон включить</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Перспективу приблизить</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Перспективу отдалить</translation>
    </message>
    <message>
        <source> g</source>
        <translation> g</translation>
    </message>
    <message>
        <source> km</source>
        <translation> км</translation>
    </message>
    <message>
        <source> m</source>
        <translation> м</translation>
    </message>
    <message>
        <source> mi</source>
        <translation> миль</translation>
    </message>
    <message>
        <source> ft</source>
        <translation> фут</translation>
    </message>
    <message>
        <source>N</source>
        <comment>compass point</comment>
        <translation>С</translation>
    </message>
    <message>
        <source>NE</source>
        <comment>compass point</comment>
        <translation>СВ</translation>
    </message>
    <message>
        <source>E</source>
        <comment>compass point</comment>
        <translation>В</translation>
    </message>
    <message>
        <source>SE</source>
        <comment>compass point</comment>
        <translation>ЮВ</translation>
    </message>
    <message>
        <source>S</source>
        <comment>compass point</comment>
        <translation>Ю</translation>
    </message>
    <message>
        <source>SW</source>
        <comment>compass point</comment>
        <translation>ЮЗ</translation>
    </message>
    <message>
        <source>W</source>
        <comment>compass point</comment>
        <translation>З</translation>
    </message>
    <message>
        <source>NW</source>
        <comment>compass point</comment>
        <translation>СЗ</translation>
    </message>
</context>
<context>
    <name>RouteLegend</name>
    <message>
        <source>Ahead</source>
        <translation>Впереди</translation>
    </message>
    <message>
        <source>Bridged gap</source>
        <translation>Восполненный пропуск</translation>
    </message>
    <message>
        <source>Driven</source>
        <translation>Пройдено</translation>
    </message>
    <message>
        <source>Event</source>
        <translation>Событие</translation>
    </message>
    <message>
        <source>No GPS fix</source>
        <translation>Нет сигнала GPS</translation>
    </message>
</context>
<context>
    <name>SelectionReport</name>
    <message>
        <source>%1 does not exist.</source>
        <translation>%1 не существует.</translation>
    </message>
    <message numerus="yes">
        <source>%n chosen item(s) in %1</source>
        <translation>
            <numerusform>%n выбранный элемент в %1</numerusform>
            <numerusform>%n выбранных элемента в %1</numerusform>
            <numerusform>%n выбранных элементов в %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) looked at, none of them a camera recording (a video named like 001_0001_20240501120000.mp4).</source>
        <translation>
            <numerusform>Просмотрен %n файл, среди них нет записей камеры (видео с именем вида 001_0001_20240501120000.mp4).</numerusform>
            <numerusform>Просмотрено %n файла, среди них нет записей камеры (видео с именем вида 001_0001_20240501120000.mp4).</numerusform>
            <numerusform>Просмотрено %n файлов, среди них нет записей камеры (видео с именем вида 001_0001_20240501120000.mp4).</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n of the chosen paths do(es) not exist.</source>
        <translation>
            <numerusform>%n из выбранных путей не существует.</numerusform>
            <numerusform>%n из выбранных путей не существуют.</numerusform>
            <numerusform>%n из выбранных путей не существуют.</numerusform>
        </translation>
    </message>
    <message>
        <source>No files were found.</source>
        <translation>Файлы не найдены.</translation>
    </message>
    <message>
        <source>No recordings found in %1.</source>
        <translation>В %1 записи не найдены.</translation>
    </message>
    <message numerus="yes">
        <source>None of the %n chosen path(s) exists.</source>
        <translation>
            <numerusform>Выбранный путь не существует.</numerusform>
            <numerusform>Ни один из %n выбранных путей не существует.</numerusform>
            <numerusform>Ни один из %n выбранных путей не существует.</numerusform>
        </translation>
    </message>
    <message>
        <source>Nothing was opened.</source>
        <translation>Ничего не открыто.</translation>
    </message>
    <message>
        <source>The folder and its subfolders hold no files.</source>
        <translation>В папке и её подпапках нет файлов.</translation>
    </message>
</context>
<context>
    <name>SettingsButton</name>
    <message>
        <source>Acceleration</source>
        <translation>Ускорение</translation>
    </message>
    <message>
        <source>Kilometres per hour (km/h)</source>
        <translation>Километры в час (км/ч)</translation>
    </message>
    <message>
        <source>Metres per second squared (m/s²)</source>
        <translation>Метры в секунду за секунду (м/с²)</translation>
    </message>
    <message>
        <source>Miles per hour (mph)</source>
        <translation>Мили в час (миль/ч)</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>Скорость</translation>
    </message>
    <message>
        <source>Standard gravity (g)</source>
        <translation>Ускорение свободного падения (g)</translation>
    </message>
    <message>
        <source>Time offset: %1 h…</source>
        <translation>Сдвиг времени: %1 ч…</translation>
    </message>
    <message>
        <source>Settings: units, time offset and snapshots</source>
        <translation>Настройки: единицы, сдвиг времени и снимки</translation>
    </message>
    <message>
        <source>Folder for snapshots</source>
        <translation>Папка для снимков</translation>
    </message>
    <message>
        <source>Snapshot folder: %1…</source>
        <translation>Папка для снимков: %1…</translation>
    </message>
    <message>
        <source>Data band below snapshots</source>
        <translation>Полоса данных под снимком</translation>
    </message>
    <message>
        <source>Hardware video decoding</source>
        <translation>Аппаратное декодирование видео</translation>
    </message>
    <message>
        <source>Clips exported with data</source>
        <translation>Фрагменты с данными</translation>
    </message>
    <message>
        <source>Route map</source>
        <translation>Карта маршрута</translation>
    </message>
    <message>
        <source>Speed and acceleration strip</source>
        <translation>Полоса скорости и ускорения</translation>
    </message>
    <message numerus="yes">
        <source>Privacy zones: %n…</source>
        <translation>
            <numerusform>Зоны приватности: %n…</numerusform>
            <numerusform>Зоны приватности: %n…</numerusform>
            <numerusform>Зоны приватности: %n…</numerusform>
        </translation>
    </message>
    <message>
        <source>Clear cache</source>
        <translation>Очистить кэш</translation>
    </message>
</context>
<context>
    <name>SkippedFiles</name>
    <message numerus="yes">
        <source>%n file(s) skipped</source>
        <translation>
            <numerusform>Пропущен %n файл</numerusform>
            <numerusform>Пропущено %n файла</numerusform>
            <numerusform>Пропущено %n файлов</numerusform>
        </translation>
    </message>
    <message>
        <source>not a playable video</source>
        <translation>не воспроизводимое видео</translation>
    </message>
    <message>
        <source>not named like a camera recording</source>
        <translation>с именем не как у записи камеры</translation>
    </message>
    <message>
        <source>without a matching NMEA file</source>
        <translation>без соответствующего файла NMEA</translation>
    </message>
    <message>
        <source>without a valid start time in the name</source>
        <translation>без правильного времени начала в имени</translation>
    </message>
    <message>
        <source>gone while they were read</source>
        <translation>исчезли во время чтения</translation>
    </message>
</context>
<context>
    <name>SkippedFilesDialog</name>
    <message>
        <source>File</source>
        <translation>Файл</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Папка</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Причина</translation>
    </message>
</context>
<context>
    <name>Snapshot</name>
    <message>
        <source>Cannot decode a frame of %1.</source>
        <translation>Не удаётся декодировать кадр из %1.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Не удаётся записать %1: %2</translation>
    </message>
    <message>
        <source>Refusing to overwrite the recording %1.</source>
        <translation>Запись %1 не будет перезаписана.</translation>
    </message>
    <message>
        <source>The trip has no video.</source>
        <translation>В поездке нет видео.</translation>
    </message>
    <message>
        <source>Cannot find the position in %1.</source>
        <translation>Не удаётся найти позицию в %1.</translation>
    </message>
    <message>
        <source>no GPS fix</source>
        <translation>нет сигнала GPS</translation>
    </message>
    <message>
        <source>heading %1</source>
        <translation>курс %1</translation>
    </message>
    <message>
        <source>No %1 recording at %2</source>
        <translation>Нет записи канала %1 в %2</translation>
    </message>
    <message>
        <source>No %1 recording at %2: %3</source>
        <translation>Нет записи канала %1 в %2: %3</translation>
    </message>
    <message>
        <source>position hidden</source>
        <translation>местоположение скрыто</translation>
    </message>
</context>
<context>
    <name>TimeOffsetDialog</name>
    <message>
        <source> h</source>
        <translation> ч</translation>
    </message>
    <message>
        <source> min</source>
        <translation> мин</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>Направление</translation>
    </message>
    <message>
        <source>Hours</source>
        <translation>Часы</translation>
    </message>
    <message>
        <source>Minutes</source>
        <translation>Минуты</translation>
    </message>
    <message>
        <source>No offset</source>
        <translation>Без сдвига</translation>
    </message>
    <message>
        <source>Shift the shown clock times, for a camera whose clock or GPS time is not the local time.</source>
        <translation>Сдвигает показываемое время, если часы камеры или время GPS не совпадают с местным временем.</translation>
    </message>
    <message>
        <source>Time offset</source>
        <translation>Сдвиг времени</translation>
    </message>
</context>
<context>
    <name>TripSummary</name>
    <message>
        <source> km</source>
        <translation> км</translation>
    </message>
    <message>
        <source> mi</source>
        <translation> миль</translation>
    </message>
    <message>
        <source>%1 bridged</source>
        <translation>%1 восполнено</translation>
    </message>
    <message>
        <source>%1 h %2 min driving</source>
        <translation>%1 ч %2 мин в движении</translation>
    </message>
    <message>
        <source>%1 min driving</source>
        <translation>%1 мин в движении</translation>
    </message>
    <message>
        <source>max %1</source>
        <translation>макс. %1</translation>
    </message>
    <message>
        <source>avg %1</source>
        <translation>ср. %1</translation>
    </message>
    <message numerus="yes">
        <source>%n stop(s)</source>
        <translation>
            <numerusform>%n остановка</numerusform>
            <numerusform>%n остановки</numerusform>
            <numerusform>%n остановок</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n event(s)</source>
        <translation>
            <numerusform>%n событие</numerusform>
            <numerusform>%n события</numerusform>
            <numerusform>%n событий</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>VideoSelection</name>
    <message>
        <source>Videos (*.mp4 *.MP4 *.mov *.MOV)</source>
        <translation>Видео (*.mp4 *.MP4 *.mov *.MOV)</translation>
    </message>
</context>
</TS>
