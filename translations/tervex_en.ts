<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB" sourcelanguage="ru_RU">
<context>
    <name>AutoSettingsWidget</name>
    <message>
        <source>Последовательность</source>
        <translation>Sequence</translation>
    </message>
    <message>
        <source>Сохранить как</source>
        <translation>Save as</translation>
    </message>
    <message>
        <source>Создать…</source>
        <translation>Create…</translation>
    </message>
    <message>
        <source>выкл.</source>
        <translation>off</translation>
    </message>
    <message>
        <source>Макс. разброс, %</source>
        <translation>Max. scatter, %</translation>
    </message>
    <message>
        <source>Повторов</source>
        <translation>Repeats</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Выполнить</source>
        <translation>Execute</translation>
    </message>
    <message>
        <source>Данные Тервекс (*.etr)</source>
        <translation>Tervex data (*.etr)</translation>
    </message>
    <message>
        <source>Папка последовательности %1 недоступна для записи; файл данных будет записан в %2</source>
        <translation>The sequence folder %1 cannot be written; the data file will be written to %2</translation>
    </message>
    <message>
        <source>Последовательность (*.txt)</source>
        <translation>Sequence (*.txt)</translation>
    </message>
    <message>
        <source>Линия</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>Оператор</source>
        <translation>Operator</translation>
    </message>
    <message>
        <source>Примечание</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>Проверить контакты перед съёмкой</source>
        <translation>Check the contacts before the survey</translation>
    </message>
    <message>
        <source> кОм</source>
        <translation> kΩ</translation>
    </message>
    <message>
        <source>Электроды с сопротивлением выше предела будут показаны перед съёмкой</source>
        <translation>Electrodes with a resistance above the limit are shown before the survey</translation>
    </message>
</context>
<context>
    <name>ContactCheckDialog</name>
    <message>
        <source>Проверка контактов</source>
        <translation>Contact check</translation>
    </message>
    <message>
        <source>%1 — %2 кОм</source>
        <translation>%1 — %2 kΩ</translation>
    </message>
    <message>
        <source>&lt;p&gt;&lt;b&gt;Сопротивление заземления выше %1 кОм у электродов:&lt;/b&gt; %2&lt;/p&gt;&lt;p&gt;Исправьте их и проверьте снова, пропустите квадруполи с ними или продолжите съёмку со всеми квадруполями.&lt;/p&gt;</source>
        <translation>&lt;p&gt;&lt;b&gt;Grounding resistance above %1 kΩ at electrodes:&lt;/b&gt; %2&lt;/p&gt;&lt;p&gt;Fix them and check again, leave out the quadrupoles that use them, or go on with all quadrupoles.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Проверить снова</source>
        <translation>Check again</translation>
    </message>
    <message>
        <source>Без квадруполей с ними (%1)</source>
        <translation>Without their quadrupoles (%1)</translation>
    </message>
    <message>
        <source>Продолжить со всеми</source>
        <translation>Go on with all</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>DataErrors</name>
    <message>
        <source>Взаимных пар: %1</source>
        <translation>Reciprocal pairs: %1</translation>
    </message>
    <message>
        <source>Взаимная погрешность: медиана %1 %, 90-й процентиль %2 %</source>
        <translation>Reciprocal error: median %1 %, 90th percentile %2 %</translation>
    </message>
    <message>
        <source>Модель погрешности: не подобрана, пар меньше %1</source>
        <translation>Error model: not fitted, fewer than %1 pairs</translation>
    </message>
    <message>
        <source>Модель погрешности: %1</source>
        <translation>Error model: %1</translation>
    </message>
    <message>
        <source>Повторных пар: %1, погрешность: медиана %2 %, 90-й процентиль %3 %</source>
        <translation>Repeat pairs: %1, error: median %2 %, 90th percentile %3 %</translation>
    </message>
</context>
<context>
    <name>DataFileLock</name>
    <message>
        <source>Файл данных %1 уже записывается другой съёмкой (%2, процесс %3 на %4). Дождитесь её окончания или выберите другой файл.</source>
        <translation>Data file %1 is being written by another survey (%2, process %3 on %4). Wait until it ends or choose another file.</translation>
    </message>
    <message>
        <source>программа</source>
        <translation>a program</translation>
    </message>
    <message>
        <source>этом компьютере</source>
        <translation>this computer</translation>
    </message>
    <message>
        <source>У файла данных %1 есть другие имена (жёстких ссылок: %2): другая съёмка могла бы писать в него под другим именем. Выберите другой файл.</source>
        <translation>Data file %1 has other names (hard links: %2): another survey could write it under another name. Choose another file.</translation>
    </message>
    <message>
        <source>Файл блокировки %1 не был блокировкой этой программы (пустой или повреждённый) и заменён.</source>
        <translation>Lock file %1 was not a lock of this program (empty or damaged) and has been replaced.</translation>
    </message>
    <message>
        <source>На месте файла блокировки %1 находится папка: удалите её, чтобы записывать файл данных %2.</source>
        <translation>A folder stands where lock file %1 should be: remove it to write data file %2.</translation>
    </message>
    <message>
        <source>Не удалось создать файл блокировки %1 рядом с файлом данных: %2</source>
        <translation>Could not create lock file %1 beside the data file: %2</translation>
    </message>
</context>
<context>
    <name>DataFilter</name>
    <message>
        <source>взаимная погрешность выше %1 %</source>
        <translation>reciprocal error above %1 %</translation>
    </message>
    <message>
        <source>разброс выше %1 %</source>
        <translation>deviation above %1 %</translation>
    </message>
    <message>
        <source>кажущееся сопротивление не больше нуля</source>
        <translation>apparent resistivity zero or negative</translation>
    </message>
    <message>
        <source>ток ниже %1 мА</source>
        <translation>current below %1 mA</translation>
    </message>
</context>
<context>
    <name>ErrorModel</name>
    <message>
        <source>разброс записи, не менее %1 %</source>
        <translation>record deviation, at least %1 %</translation>
    </message>
    <message>
        <source>|ΔR| = %1·|R| + %2 Ом</source>
        <translation>|ΔR| = %1·|R| + %2 Ω</translation>
    </message>
    <message>
        <source> (пар %1, интервалов %2)</source>
        <translation> (%1 pairs, %2 bins)</translation>
    </message>
    <message>
        <source>по взаимным измерениям</source>
        <translation>from the reciprocals</translation>
    </message>
    <message>
        <source>по разбросу записи</source>
        <translation>from the record deviation</translation>
    </message>
</context>
<context>
    <name>ErrorView</name>
    <message>
        <source>выкл.</source>
        <translation>off</translation>
    </message>
    <message>
        <source>|R|, Ом</source>
        <translation>|R|, Ω</translation>
    </message>
    <message>
        <source>|R − R′|, Ом</source>
        <translation>|R − R′|, Ω</translation>
    </message>
    <message>
        <source>взаимные пары</source>
        <translation>reciprocal pairs</translation>
    </message>
    <message>
        <source>отбракованы</source>
        <translation>dropped</translation>
    </message>
    <message>
        <source>модель</source>
        <translation>model</translation>
    </message>
    <message>
        <source>Отбраковка данных</source>
        <translation>Data filter</translation>
    </message>
    <message>
        <source> мА</source>
        <translation> mA</translation>
    </message>
    <message>
        <source>ρа ≤ 0</source>
        <translation>ρa ≤ 0</translation>
    </message>
    <message>
        <source>Взаимная погрешность выше</source>
        <translation>Reciprocal error above</translation>
    </message>
    <message>
        <source>Разброс выше</source>
        <translation>Deviation above</translation>
    </message>
    <message>
        <source>Кажущееся сопротивление</source>
        <translation>Apparent resistivity</translation>
    </message>
    <message>
        <source>Ток ниже</source>
        <translation>Current below</translation>
    </message>
    <message>
        <source>Погрешности данных:</source>
        <translation>Data errors:</translation>
    </message>
    <message>
        <source>Погрешности данных: %1</source>
        <translation>Data errors: %1</translation>
    </message>
    <message>
        <source>Отбраковано: %1 из %2</source>
        <translation>Dropped: %1 of %2</translation>
    </message>
</context>
<context>
    <name>Etr2txtTool</name>
    <message>
        <source>%1: Преобразование etr в txt: %2</source>
        <translation>%1: Converting etr to txt: %2</translation>
    </message>
    <message>
        <source>Некорректное значение поляризации
Будет выполнено преобразование без поляризации</source>
        <translation>Invalid chargeability value
The conversion will be done without chargeability</translation>
    </message>
    <message>
        <source>%1: не удалось записать файл %2</source>
        <translation>%1: could not write file %2</translation>
    </message>
    <message>
        <source>%1: описания линии нет</source>
        <translation>%1: no line description</translation>
    </message>
    <message>
        <source>%1: свободная область заголовка не содержит описания линии:</source>
        <translation>%1: the free header area holds no line description:</translation>
    </message>
</context>
<context>
    <name>EtrFile</name>
    <message>
        <source>Загрузка etr</source>
        <translation>Loading etr</translation>
    </message>
    <message>
        <source>%1 не является обычным файлом
Файл не загружен</source>
        <translation>%1 is not a regular file
The file was not loaded</translation>
    </message>
    <message>
        <source>
Файл не загружен</source>
        <translation>
The file was not loaded</translation>
    </message>
    <message>
        <source>Некорректное значение электрода EM (%1), EN (%2) в блоке %3
Дальнейший результат чтения файла недостоверен</source>
        <translation>Invalid electrode value EM (%1), EN (%2) in block %3
The rest of the file cannot be trusted</translation>
    </message>
    <message>
        <source>Некорректное число каналов (%1), EA (%2), EB (%3) в блоке %4
Чтение файла прервано, файл будет показан частично</source>
        <translation>Invalid channel count (%1), EA (%2), EB (%3) in block %4
Reading stopped, the file will be shown in part</translation>
    </message>
    <message>
        <source>Файл обрывается внутри блока %1 (есть %2 байт из %3)
Неполная запись отброшена, файл будет показан частично</source>
        <translation>The file ends inside block %1 (%2 of %3 bytes present)
The incomplete record was dropped, the file will be shown in part</translation>
    </message>
</context>
<context>
    <name>EtrFormat</name>
    <message>
        <source>Некорректные параметры записи в заголовке: импульс (%1), пауза (%2), периоды (%3)</source>
        <translation>Invalid record parameters in the header: pulse (%1), pause (%2), periods (%3)</translation>
    </message>
    <message>
        <source>Запись с импульсом %1 мс, паузой %2 мс и %3 периодами не содержит ни одного отсчёта</source>
        <translation>A record with pulse %1 ms, pause %2 ms and %3 periods holds no samples</translation>
    </message>
    <message>
        <source>Файл короче заголовка (%1 байт из %2)</source>
        <translation>The file is shorter than its header (%1 of %2 bytes)</translation>
    </message>
    <message>
        <source>Некорректное число электродов (%1) в заголовке</source>
        <translation>Invalid electrode count (%1) in the header</translation>
    </message>
    <message>
        <source>после записи %1 остаётся %2 байт, это не оборванная запись: %3</source>
        <translation>%2 bytes follow record %1 and they are not a torn record: %3</translation>
    </message>
    <message>
        <source>они не короче одной записи</source>
        <translation>they are not shorter than one record</translation>
    </message>
    <message>
        <source>запись заканчивается ровно на границе канала, повреждено число каналов (%1)</source>
        <translation>the record ends exactly on a channel boundary, its channel count (%1) is damaged</translation>
    </message>
    <message>
        <source>на месте заголовка канала другие данные; проверьте импульс (%1), паузу (%2) и периоды (%3) заголовка</source>
        <translation>other data stand where a channel header should be; check the header&apos;s pulse (%1), pause (%2) and periods (%3)</translation>
    </message>
    <message>
        <source>среди отсчётов стоят заголовки других записей; проверьте импульс (%1), паузу (%2) и периоды (%3) заголовка</source>
        <translation>headers of other records stand among the samples; check the header&apos;s pulse (%1), pause (%2) and periods (%3)</translation>
    </message>
    <message>
        <source>Некорректные параметры записи: импульс (%1), пауза (%2), периоды (%3)</source>
        <translation>Invalid record parameters: pulse (%1), pause (%2), periods (%3)</translation>
    </message>
    <message>
        <source>Файл обрывается в таблице электродов заголовка: для %1 электродов нужно %2 байт, в файле %3</source>
        <translation>The file ends inside the header&apos;s electrode table: %1 electrodes need %2 bytes, the file has %3</translation>
    </message>
    <message>
        <source>Электрод %1 в заголовке: координаты x=%2, y=%3, z=%4 не являются числами</source>
        <translation>Electrode %1 in the header: coordinates x=%2, y=%3, z=%4 are not numbers</translation>
    </message>
    <message>
        <source>число каналов %1 (допустимо 0..%2)</source>
        <translation>channel count %1 (allowed 0..%2)</translation>
    </message>
    <message>
        <source>электрод A %1 (допустимо 0..%2)</source>
        <translation>electrode A %1 (allowed 0..%2)</translation>
    </message>
    <message>
        <source>электрод B %1 (допустимо 0..%2)</source>
        <translation>electrode B %1 (allowed 0..%2)</translation>
    </message>
    <message>
        <source>запись %1: %2</source>
        <translation>record %1: %2</translation>
    </message>
</context>
<context>
    <name>EtrInputs</name>
    <message>
        <source>%1: не удалось открыть файл</source>
        <translation>%1: could not open the file</translation>
    </message>
</context>
<context>
    <name>EtrViewer</name>
    <message>
        <source>Преобразование etr в txt</source>
        <translation>Converting etr to txt</translation>
    </message>
    <message>
        <source>папка %1 не найдена</source>
        <translation>folder %1 not found</translation>
    </message>
    <message>
        <source>на месте файла находится папка с тем же именем</source>
        <translation>a folder of the same name is where the file should be</translation>
    </message>
    <message>
        <source>файл защищён от записи</source>
        <translation>the file is write-protected</translation>
    </message>
    <message>
        <source>нет прав на запись в папку</source>
        <translation>no permission to write to the folder</translation>
    </message>
    <message>
        <source>ошибка записи на диск</source>
        <translation>disk write error</translation>
    </message>
    <message>
        <source>Просмотр ETR</source>
        <translation>ETR viewer</translation>
    </message>
    <message>
        <source>Открыть</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Обработать</source>
        <translation>Process</translation>
    </message>
    <message>
        <source>Экспорт…</source>
        <translation>Export…</translation>
    </message>
    <message>
        <source>Учесть поляризацию</source>
        <translation>With chargeability</translation>
    </message>
    <message>
        <source>Сигналы</source>
        <translation>Signals</translation>
    </message>
    <message>
        <source>Разрез</source>
        <translation>Section</translation>
    </message>
    <message>
        <source>Управление</source>
        <translation>Controls</translation>
    </message>
    <message>
        <source>Ток</source>
        <translation>Current</translation>
    </message>
    <message>
        <source>Все</source>
        <translation>All</translation>
    </message>
    <message>
        <source>Гор.</source>
        <translation>Hor.</translation>
    </message>
    <message>
        <source>Верт.</source>
        <translation>Vert.</translation>
    </message>
    <message>
        <source>Электроды</source>
        <translation>Electrodes</translation>
    </message>
    <message>
        <source>Запись</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>Импульс: &lt;b&gt;%1&lt;/b&gt;</source>
        <translation>Pulse: &lt;b&gt;%1&lt;/b&gt;</translation>
    </message>
    <message>
        <source>Пауза: &lt;b&gt;%1&lt;/b&gt;</source>
        <translation>Pause: &lt;b&gt;%1&lt;/b&gt;</translation>
    </message>
    <message>
        <source>Периоды: &lt;b&gt;%1&lt;/b&gt;</source>
        <translation>Periods: &lt;b&gt;%1&lt;/b&gt;</translation>
    </message>
    <message>
        <source>I=&lt;b&gt;%1&lt;/b&gt;мА</source>
        <translation>I=&lt;b&gt;%1&lt;/b&gt;mA</translation>
    </message>
    <message>
        <source>V=&lt;b&gt;%1&lt;/b&gt;мВ</source>
        <translation>V=&lt;b&gt;%1&lt;/b&gt;mV</translation>
    </message>
    <message>
        <source>Rho=&lt;b&gt;%1&lt;/b&gt;Ом</source>
        <translation>Rho=&lt;b&gt;%1&lt;/b&gt;Ω</translation>
    </message>
    <message>
        <source>Файл не открыт: преобразовывать нечего.
Откройте файл etr кнопкой «Открыть».</source>
        <translation>No file is open: nothing to convert.
Open an etr file with “Open”.</translation>
    </message>
    <message>
        <source>Некорректное значение поляризации
Будет выполнено преобразование без поляризации</source>
        <translation>Invalid chargeability value
The conversion will be done without chargeability</translation>
    </message>
    <message>
        <source>Преобразование с поляризацией успешно завершено</source>
        <translation>Conversion with chargeability completed</translation>
    </message>
    <message>
        <source>Преобразование успешно завершено</source>
        <translation>Conversion completed</translation>
    </message>
    <message>
        <source>Не удалось записать файл %1: %2</source>
        <translation>Could not write file %1: %2</translation>
    </message>
    <message>
        <source>Данные Тервекс (*.etr)</source>
        <translation>Tervex data (*.etr)</translation>
    </message>
    <message>
        <source>I, А</source>
        <translation>I, A</translation>
    </message>
    <message>
        <source>U, В</source>
        <translation>U, V</translation>
    </message>
    <message>
        <source>t, мс</source>
        <translation>t, ms</translation>
    </message>
    <message>
        <source>Повторённый квадруполь: лучшая запись (наименьший разброс)</source>
        <translation>Repeated quadrupole: the best record (lowest scatter)</translation>
    </message>
    <message>
        <source>Повторённый квадруполь: повтор</source>
        <translation>Repeated quadrupole: a repeat</translation>
    </message>
    <message>
        <source>Таблица записана в %1</source>
        <translation>Table written to %1</translation>
    </message>
    <message>
        <source>Заголовок файла содержит посторонний текст:</source>
        <translation>The file header holds text of another program:</translation>
    </message>
    <message>
        <source>Погрешности</source>
        <translation>Errors</translation>
    </message>
    <message>
        <source>Модель</source>
        <translation>Model</translation>
    </message>
</context>
<context>
    <name>ExportDialog</name>
    <message>
        <source>Экспорт для инверсии</source>
        <translation>Export for inversion</translation>
    </message>
    <message>
        <source>Формат:</source>
        <translation>Format:</translation>
    </message>
    <message>
        <source>Обзор…</source>
        <translation>Browse…</translation>
    </message>
    <message>
        <source>Файл:</source>
        <translation>File:</translation>
    </message>
    <message>
        <source>С поляризацией (заряжаемость)</source>
        <translation>With chargeability (IP)</translation>
    </message>
    <message>
        <source>Все записи повторённых квадруполей (иначе лучшая)</source>
        <translation>All records of repeated quadrupoles (otherwise the best)</translation>
    </message>
    <message>
        <source>Записать</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Файл не открыт: экспортировать нечего.
Откройте файл etr кнопкой «Открыть».</source>
        <translation>No file is open: nothing to export.
Open an etr file with “Open”.</translation>
    </message>
    <message>
        <source>Укажите файл, в который записать данные.</source>
        <translation>Choose the file to write the data to.</translation>
    </message>
    <message>
        <source>Погрешности:</source>
        <translation>Errors:</translation>
    </message>
</context>
<context>
    <name>ExportTool</name>
    <message>
        <source>нет данных для записи</source>
        <translation>no data to write</translation>
    </message>
</context>
<context>
    <name>GeneratorControlWidget</name>
    <message>
        <source>Напряжение</source>
        <translation>Voltage</translation>
    </message>
    <message>
        <source>Повторения</source>
        <translation>Periods</translation>
    </message>
    <message>
        <source>Импульс</source>
        <translation>Pulse</translation>
    </message>
    <message>
        <source>Пауза</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Тест выполняется со своими значениями; напряжение теста задаётся в «Параметры»</source>
        <translation>The test runs with its own values; the test voltage is set in “Settings”</translation>
    </message>
</context>
<context>
    <name>InversionDataset</name>
    <message>
        <source>Электрод x=%1 м, y=%2 м: высота %3 м в файле %4, %5 м в файле %6; взята первая</source>
        <translation>Electrode x=%1 m, y=%2 m: elevation %3 m in file %4, %5 m in file %6; the first is used</translation>
    </message>
    <message>
        <source>нет координат электрода в файле</source>
        <translation>no electrode coordinates in the file</translation>
    </message>
    <message>
        <source>Файл %1: импульс %2 мс, в первом файле %3 мс; окно заряжаемости в заголовке взято по первому файлу</source>
        <translation>File %1: pulse %2 ms, %3 ms in the first file; the chargeability window in the header follows the first file</translation>
    </message>
</context>
<context>
    <name>InversionOptionsPanel</name>
    <message>
        <source>авто</source>
        <translation>auto</translation>
    </message>
    <message>
        <source>Начальная сила сглаживания; 0 — по данным</source>
        <translation>Starting smoothing strength; 0: from the data</translation>
    </message>
    <message>
        <source>Погрешность от</source>
        <translation>Error from</translation>
    </message>
    <message>
        <source>Устойчивая</source>
        <translation>Robust</translation>
    </message>
    <message>
        <source>Выбросы в данных теряют вес</source>
        <translation>Outliers in the data lose their weight</translation>
    </message>
    <message>
        <source>ВП</source>
        <translation>IP</translation>
    </message>
    <message>
        <source>Также разрез заряжаемости</source>
        <translation>Also the chargeability section</translation>
    </message>
</context>
<context>
    <name>InversionReport</name>
    <message>
        <source>Записан файл %1, данных: %2</source>
        <translation>Wrote file %1, data: %2</translation>
    </message>
    <message>
        <source>Не удалось записать файл %1: %2</source>
        <translation>Could not write file %1: %2</translation>
    </message>
    <message>
        <source>Пропущено данных: %1 (%2)</source>
        <translation>Data left out: %1 (%2)</translation>
    </message>
    <message>
        <source>нет ни одного данного для записи</source>
        <translation>not a single datum to write</translation>
    </message>
    <message>
        <source>Погрешности данных: %1</source>
        <translation>Data errors: %1</translation>
    </message>
</context>
<context>
    <name>InversionWriters</name>
    <message>
        <source>Универсальный формат .ohm (pyGIMLi, BERT, ResIPy)</source>
        <translation>Unified .ohm format (pyGIMLi, BERT, ResIPy)</translation>
    </message>
    <message>
        <source>Таблица CSV для ResIPy (тип Syscal)</source>
        <translation>CSV table for ResIPy (Syscal type)</translation>
    </message>
    <message>
        <source>Res2DInv, общий массив (.dat)</source>
        <translation>Res2DInv, general array (.dat)</translation>
    </message>
    <message>
        <source>значения не вычислены</source>
        <translation>values not computed</translation>
    </message>
    <message>
        <source>геометрический коэффициент равен нулю</source>
        <translation>geometric factor is zero</translation>
    </message>
    <message>
        <source>поляризация не вычислена</source>
        <translation>chargeability not computed</translation>
    </message>
    <message>
        <source>отбраковано: %1</source>
        <translation>dropped: %1</translation>
    </message>
</context>
<context>
    <name>LineMetadata</name>
    <message>
        <source>Линия</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>Оператор</source>
        <translation>Operator</translation>
    </message>
    <message>
        <source>Примечание</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>Начало</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Станция №</source>
        <translation>Station No.</translation>
    </message>
    <message>
        <source>Прошивка</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <source>Программа</source>
        <translation>Program</translation>
    </message>
    <message>
        <source>Напряжение, В</source>
        <translation>Voltage, V</translation>
    </message>
    <message>
        <source>Импульс, мс</source>
        <translation>Pulse, ms</translation>
    </message>
    <message>
        <source>Пауза, мс</source>
        <translation>Pause, ms</translation>
    </message>
    <message>
        <source>Периоды</source>
        <translation>Periods</translation>
    </message>
    <message>
        <source>GPS долгота</source>
        <translation>GPS longitude</translation>
    </message>
    <message>
        <source>GPS широта</source>
        <translation>GPS latitude</translation>
    </message>
    <message>
        <source>GPS высота, м</source>
        <translation>GPS altitude, m</translation>
    </message>
    <message>
        <source>Батарея, В</source>
        <translation>Battery, V</translation>
    </message>
</context>
<context>
    <name>LiveModel</name>
    <message>
        <source>меньше %1 электродов с данными</source>
        <translation>fewer than %1 electrodes with data</translation>
    </message>
</context>
<context>
    <name>LiveModelPage</name>
    <message>
        <source>Расчёт модели…</source>
        <translation>Computing the model…</translation>
    </message>
    <message>
        <source>Модели пока нет: %1</source>
        <translation>No model yet: %1</translation>
    </message>
</context>
<context>
    <name>MeasurementPlot</name>
    <message>
        <source>н/и</source>
        <translation>n/m</translation>
    </message>
    <message>
        <source>Ток
%1 - %2</source>
        <translation>Current
%1 - %2</translation>
    </message>
    <message>
        <source>Канал %1
%2 - %3</source>
        <translation>Channel %1
%2 - %3</translation>
    </message>
    <message>
        <source>Напряжение</source>
        <translation>Voltage</translation>
    </message>
    <message>
        <source>К%1</source>
        <translation>K%1</translation>
    </message>
    <message>
        <source>10 Ом</source>
        <translation>10 Ω</translation>
    </message>
    <message>
        <source>100 Ом</source>
        <translation>100 Ω</translation>
    </message>
    <message>
        <source>1 кОм</source>
        <translation>1 kΩ</translation>
    </message>
    <message>
        <source>3 кОм</source>
        <translation>3 kΩ</translation>
    </message>
    <message>
        <source>10 кОм</source>
        <translation>10 kΩ</translation>
    </message>
    <message>
        <source>50 кОм</source>
        <translation>50 kΩ</translation>
    </message>
    <message>
        <source>1 МОм</source>
        <translation>1 MΩ</translation>
    </message>
    <message>
        <source>кОм</source>
        <translation>kΩ</translation>
    </message>
    <message>
        <source>Ом</source>
        <translation>Ω</translation>
    </message>
    <message>
        <source>&gt;1МОм</source>
        <translation>&gt;1MΩ</translation>
    </message>
</context>
<context>
    <name>ModelSectionPlot</name>
    <message>
        <source>X, м</source>
        <translation>X, m</translation>
    </message>
    <message>
        <source>Высота, м</source>
        <translation>Elevation, m</translation>
    </message>
    <message>
        <source>ρ, Ом·м</source>
        <translation>ρ, Ohm·m</translation>
    </message>
</context>
<context>
    <name>ModelView</name>
    <message>
        <source>Своя шкала</source>
        <translation>Own scale</translation>
    </message>
    <message>
        <source>Цвета по диапазону модели, а не псевдоразреза</source>
        <translation>Colours by the model&apos;s range, not the pseudosection&apos;s</translation>
    </message>
    <message>
        <source>Данных: &lt;b&gt;%1&lt;/b&gt;, исключено %2 · итераций: %3 · χ² = &lt;b&gt;%4&lt;/b&gt; · RMS = &lt;b&gt;%5 %&lt;/b&gt;</source>
        <translation>Data: &lt;b&gt;%1&lt;/b&gt;, left out %2 · iterations: %3 · χ² = &lt;b&gt;%4&lt;/b&gt; · RMS = &lt;b&gt;%5 %&lt;/b&gt;</translation>
    </message>
    <message>
        <source>по %1 из %2 квадруполей</source>
        <translation>from %1 of %2 quadrupoles</translation>
    </message>
    <message>
        <source>Расчёт: итерация %1, χ² = %2</source>
        <translation>Computing: iteration %1, χ² = %2</translation>
    </message>
    <message>
        <source>x = &lt;b&gt;%1&lt;/b&gt; м, глубина &lt;b&gt;%2&lt;/b&gt; м, ρ = &lt;b&gt;%3&lt;/b&gt; Ом·м</source>
        <translation>x = &lt;b&gt;%1&lt;/b&gt; m, depth &lt;b&gt;%2&lt;/b&gt; m, ρ = &lt;b&gt;%3&lt;/b&gt; Ω·m</translation>
    </message>
</context>
<context>
    <name>OutputFile</name>
    <message>
        <source>%1 — файл данных съёмки (.etr): он не может быть перезаписан. Выберите другой файл.</source>
        <translation>%1 is a survey data file (.etr): it cannot be overwritten. Choose another file.</translation>
    </message>
    <message>
        <source>%1 не является обычным файлом: записать в него нельзя.</source>
        <translation>%1 is not a regular file: it cannot be written.</translation>
    </message>
    <message>
        <source>%1 — исходный файл (%2): он не может быть перезаписан. Выберите другой файл.</source>
        <translation>%1 is an input file (%2): it cannot be overwritten. Choose another file.</translation>
    </message>
</context>
<context>
    <name>PseudosectionPlot</name>
    <message>
        <source>X, м</source>
        <translation>X, m</translation>
    </message>
    <message>
        <source>Глубина, м</source>
        <translation>Depth, m</translation>
    </message>
    <message>
        <source>ρа, Ом·м</source>
        <translation>ρa, Ω·m</translation>
    </message>
    <message>
        <source>A %1  B %2  M %3  N %4
ρа = %5 Ом·м
отклонение = %6 %
η = %7</source>
        <translation>A %1  B %2  M %3  N %4
ρa = %5 Ω·m
deviation = %6 %
η = %7</translation>
    </message>
</context>
<context>
    <name>PseudosectionView</name>
    <message>
        <source>ρа</source>
        <translation>ρa</translation>
    </message>
    <message>
        <source>Крест: разброс более</source>
        <translation>Cross: scatter above</translation>
    </message>
    <message>
        <source>Сохранить разрез</source>
        <translation>Save section</translation>
    </message>
    <message>
        <source>Не удалось записать файл %1.</source>
        <translation>Could not write file %1.</translation>
    </message>
    <message>
        <source>Разрез сохранён в %1</source>
        <translation>Section saved to %1</translation>
    </message>
</context>
<context>
    <name>RepeatPolicy</name>
    <message>
        <source>повтор %1 из %2: </source>
        <translation>repeat %1 of %2: </translation>
    </message>
    <message>
        <source>разброс %1 % на канале %2</source>
        <translation>scatter %1 % on channel %2</translation>
    </message>
    <message>
        <source>ток %1 мА</source>
        <translation>current %1 mA</translation>
    </message>
</context>
<context>
    <name>ResistivityInversion</name>
    <message>
        <source>кажущееся сопротивление не больше нуля</source>
        <translation>apparent resistivity not above zero</translation>
    </message>
    <message>
        <source>электроды совпадают</source>
        <translation>electrodes coincide</translation>
    </message>
    <message>
        <source>меньше %1 пригодных данных</source>
        <translation>fewer than %1 usable data</translation>
    </message>
    <message>
        <source>все электроды в одной точке</source>
        <translation>all electrodes at one point</translation>
    </message>
</context>
<context>
    <name>RunProgress</name>
    <message>
        <source>%1ч %2м %3с</source>
        <translation>%1h %2m %3s</translation>
    </message>
    <message>
        <source>%1м %2с</source>
        <translation>%1m %2s</translation>
    </message>
    <message>
        <source>%1с</source>
        <translation>%1s</translation>
    </message>
    <message>
        <source>запись %1 из %2 | осталось %3</source>
        <translation>record %1 of %2 | %3 left</translation>
    </message>
</context>
<context>
    <name>RunStarter</name>
    <message>
        <source>При длительности паузы 0 мс
точность расчетов снижается</source>
        <translation>With a pause of 0 ms
the results are less accurate</translation>
    </message>
    <message>
        <source>При длительности импульса менее 200 мс
точность расчетов снижается</source>
        <translation>With a pulse shorter than 200 ms
the results are less accurate</translation>
    </message>
    <message>
        <source>При длительности импульса менее 200 мс
и при длительности паузы 0 мс
точность расчетов снижается</source>
        <translation>With a pulse shorter than 200 ms
and a pause of 0 ms
the results are less accurate</translation>
    </message>
    <message>
        <source>&lt;p&gt;&lt;h2&gt;Ошибка!!!&lt;/h2&gt;&lt;/p&gt;&lt;p&gt;Длительность паузы больше 0 мс, но меньше 40 мс.&lt;/p&gt;&lt;p&gt;Продолжение невозможно.&lt;/p&gt;</source>
        <translation>&lt;p&gt;&lt;h2&gt;Error!!!&lt;/h2&gt;&lt;/p&gt;&lt;p&gt;The pause is longer than 0 ms but shorter than 40 ms.&lt;/p&gt;&lt;p&gt;Cannot continue.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;Допустимая пауза: 0 мс или от 40 до 60000 мс.&lt;/p&gt;</source>
        <translation>&lt;p&gt;Allowed pause: 0 ms or from 40 to 60000 ms.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Съёмка не начата: не выбран файл последовательности. Выберите его кнопкой «...» в строке «Последовательность».</source>
        <translation>The survey was not started: no sequence file is chosen. Choose one with “...” in the “Sequence” line.</translation>
    </message>
    <message>
        <source>Съёмка не начата: не задан файл данных. Выберите его кнопкой «...» в строке «Сохранить как».</source>
        <translation>The survey was not started: no data file is set. Choose one with “...” in the “Save as” line.</translation>
    </message>
</context>
<context>
    <name>SequenceFile</name>
    <message>
        <source>Не удалось открыть файл %1: %2</source>
        <translation>Could not open file %1: %2</translation>
    </message>
    <message>
        <source>Не найден раздел координат &quot;%1&quot;</source>
        <translation>Coordinate section &quot;%1&quot; not found</translation>
    </message>
    <message>
        <source>ожидаются номер электрода и координаты x y z</source>
        <translation>expected an electrode number and coordinates x y z</translation>
    </message>
    <message>
        <source>координаты электрода %1 должны быть конечными числами</source>
        <translation>coordinates of electrode %1 must be finite numbers</translation>
    </message>
    <message>
        <source>электрод %1 задан повторно</source>
        <translation>electrode %1 is given twice</translation>
    </message>
    <message>
        <source>Раздел координат не содержит ни одного электрода</source>
        <translation>The coordinate section holds no electrodes</translation>
    </message>
    <message>
        <source>Не найден раздел четырёхполюсников &quot;%1&quot;</source>
        <translation>Quadrupole section &quot;%1&quot; not found</translation>
    </message>
    <message>
        <source>ожидаются номер строки и электроды A B M N</source>
        <translation>expected a line number and electrodes A B M N</translation>
    </message>
    <message>
        <source>номер электрода %1 вне диапазона %2…%3</source>
        <translation>electrode number %1 outside %2…%3</translation>
    </message>
    <message>
        <source>электроды A и B совпадают</source>
        <translation>electrodes A and B are the same</translation>
    </message>
    <message>
        <source>не задан ни один питающий электрод</source>
        <translation>no current electrode given</translation>
    </message>
    <message>
        <source>электрод A совпадает с M или N</source>
        <translation>electrode A is the same as M or N</translation>
    </message>
    <message>
        <source>Раздел четырёхполюсников не содержит ни одной строки</source>
        <translation>The quadrupole section holds no lines</translation>
    </message>
    <message>
        <source>Строка %1: %2</source>
        <translation>Line %1: %2</translation>
    </message>
    <message>
        <source>строка %1: %2</source>
        <translation>line %1: %2</translation>
    </message>
    <message>
        <source>ещё строк: %1</source>
        <translation>more lines: %1</translation>
    </message>
    <message>
        <source>Электроды без координат (положение принято равным 0, в таблице 99999.999):
%1</source>
        <translation>Electrodes without coordinates (placed at 0, 99999.999 in the table):
%1</translation>
    </message>
</context>
<context>
    <name>SequenceGenerator</name>
    <message>
        <source>Веннер-альфа</source>
        <translation>Wenner alpha</translation>
    </message>
    <message>
        <source>Веннер-Шлюмберже</source>
        <translation>Wenner–Schlumberger</translation>
    </message>
    <message>
        <source>Диполь-диполь</source>
        <translation>Dipole–dipole</translation>
    </message>
    <message>
        <source>Трёхэлектродная (полюс-диполь)</source>
        <translation>Pole–dipole</translation>
    </message>
    <message>
        <source>Многоэлектродный градиент</source>
        <translation>Multiple gradient</translation>
    </message>
    <message>
        <source>Число электродов должно быть от 3 до %1</source>
        <translation>The electrode count must be from 3 to %1</translation>
    </message>
    <message>
        <source>Шаг электродов должен быть больше 0 и не больше 1000 м</source>
        <translation>The electrode spacing must be above 0 and at most 1000 m</translation>
    </message>
    <message>
        <source>Первый и последний электроды должны лежать в 1…%1, первый перед последним</source>
        <translation>The first and last electrodes must lie in 1…%1, the first before the last</translation>
    </message>
    <message>
        <source>Неверный диапазон a: от %1 до %2</source>
        <translation>Invalid range of a: from %1 to %2</translation>
    </message>
    <message>
        <source>Неверный диапазон n: от %1 до %2</source>
        <translation>Invalid range of n: from %1 to %2</translation>
    </message>
    <message>
        <source>Число каналов должно быть от 1 до 255</source>
        <translation>The channel count must be from 1 to 255</translation>
    </message>
    <message>
        <source>Ни один квадруполь не помещается на электродах %1…%2 при этих a и n</source>
        <translation>No quadrupole fits on electrodes %1…%2 with these a and n</translation>
    </message>
    <message>
        <source>Квадруполей: %1, шагов: %2, время съёмки ≈ %3 (импульс %4 мс, пауза %5 мс, периодов %6); потенциальных электродов сразу после тока: %7</source>
        <translation>Quadrupoles: %1, steps: %2, survey time ≈ %3 (pulse %4 ms, pause %5 ms, periods %6); potential electrodes used right after current: %7</translation>
    </message>
    <message>
        <source>Не удалось создать файл %1: %2</source>
        <translation>Could not create file %1: %2</translation>
    </message>
    <message>
        <source>Не удалось записать файл %1: %2</source>
        <translation>Could not write file %1: %2</translation>
    </message>
    <message>
        <source>Не удалось открыть файл %1: %2</source>
        <translation>Could not open file %1: %2</translation>
    </message>
    <message>
        <source>%1, строка %2: ожидались два числа x z</source>
        <translation>%1, line %2: expected two numbers x z</translation>
    </message>
    <message>
        <source>%1: нет ни одной точки x z</source>
        <translation>%1: no x z points</translation>
    </message>
    <message>
        <source>%1, строка %2: координата вне допустимого диапазона (не более %3 по модулю)</source>
        <translation>%1, line %2: coordinate out of range (at most %3 in magnitude)</translation>
    </message>
</context>
<context>
    <name>SequenceGeneratorDialog</name>
    <message>
        <source>Создание последовательности</source>
        <translation>Create a sequence</translation>
    </message>
    <message>
        <source> м</source>
        <translation> m</translation>
    </message>
    <message>
        <source>все</source>
        <translation>all</translation>
    </message>
    <message>
        <source>Взаимные измерения (AB и MN поменяны)</source>
        <translation>Reciprocal measurements (AB and MN swapped)</translation>
    </message>
    <message>
        <source>Порядок для ВП (без поляризованных M, N)</source>
        <translation>IP order (no polarised M, N)</translation>
    </message>
    <message>
        <source>файл x z (необязательно)</source>
        <translation>x z file (optional)</translation>
    </message>
    <message>
        <source>Установка</source>
        <translation>Array</translation>
    </message>
    <message>
        <source>Электродов</source>
        <translation>Electrodes</translation>
    </message>
    <message>
        <source>Шаг</source>
        <translation>Spacing</translation>
    </message>
    <message>
        <source>Электроды от – до</source>
        <translation>Electrodes from – to</translation>
    </message>
    <message>
        <source>a (в шагах) от – до</source>
        <translation>a (in spacings) from – to</translation>
    </message>
    <message>
        <source>n от – до</source>
        <translation>n from – to</translation>
    </message>
    <message>
        <source>Каналов на шаг</source>
        <translation>Channels per step</translation>
    </message>
    <message>
        <source>Рельеф</source>
        <translation>Topography</translation>
    </message>
    <message>
        <source>Имя файла</source>
        <translation>File name</translation>
    </message>
    <message>
        <source>Создать</source>
        <translation>Create</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Задайте имя файла без папки: он пишется в папку последовательностей</source>
        <translation>Give a file name without a folder: it is written to the sequence folder</translation>
    </message>
    <message>
        <source>Файл %1 уже есть. Заменить его?</source>
        <translation>File %1 already exists. Replace it?</translation>
    </message>
</context>
<context>
    <name>SequenceStrategy</name>
    <message>
        <source>Файл данных не открыт для записи.</source>
        <translation>The data file is not open for writing.</translation>
    </message>
    <message>
        <source>Станция выполнила запись с импульсом %1, паузой %2 и %3 периодами, а файл данных записан с импульсом %4, паузой %5 и %6 периодами. Запись не сохранена.</source>
        <translation>The station recorded with pulse %1, pause %2 and %3 periods, but the data file was written with pulse %4, pause %5 and %6 periods. The record was not saved.</translation>
    </message>
    <message>
        <source>Запись неполная: получено %1 отсчётов из %2. Запись не сохранена.</source>
        <translation>Incomplete record: %1 of %2 samples received. The record was not saved.</translation>
    </message>
    <message>
        <source>Не удалось записать блок в файл данных: %1</source>
        <translation>Could not write the block to the data file: %1</translation>
    </message>
    <message>
        <source>Не удалось записать файл данных: %1</source>
        <translation>Could not write the data file: %1</translation>
    </message>
</context>
<context>
    <name>SetupDialog</name>
    <message>
        <source>Параметры</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Напряжение для теста</source>
        <translation>Test voltage</translation>
    </message>
    <message>
        <source>Базовое сопротивление</source>
        <translation>Base resistance</translation>
    </message>
    <message>
        <source>Отклонение сопротивления</source>
        <translation>Resistance deviation</translation>
    </message>
    <message>
        <source>Язык интерфейса</source>
        <translation>Interface language</translation>
    </message>
    <message>
        <source>Как в системе</source>
        <translation>System default</translation>
    </message>
    <message>
        <source>Станция</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>Адрес:</source>
        <translation>Address:</translation>
    </message>
    <message>
        <source>Порт команд:</source>
        <translation>Command port:</translation>
    </message>
    <message>
        <source>Порт данных:</source>
        <translation>Data port:</translation>
    </message>
    <message>
        <source>Сохранить адрес</source>
        <translation>Save address</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>SetupPrompts</name>
    <message>
        <source>Язык интерфейса сменится при следующем запуске программы.</source>
        <translation>The interface language changes the next time the program starts.</translation>
    </message>
    <message>
        <source>Адрес станции %1, порты %2 и %3 сохранены; они действуют со следующего нажатия «Подключить».</source>
        <translation>Station address %1, ports %2 and %3 saved; they apply from the next “Connect”.</translation>
    </message>
    <message>
        <source>«%1» не является числом; сохранено значение по умолчанию %2.</source>
        <translation>“%1” is not a number; the default %2 was stored.</translation>
    </message>
    <message>
        <source>Значение %1 вне допустимого диапазона; сохранено ограниченное значение %2.</source>
        <translation>%1 is outside the allowed range; it was limited to %2.</translation>
    </message>
    <message>
        <source>Тест электродов</source>
        <translation>Electrode test</translation>
    </message>
    <message>
        <source>Напряжение от 10В до 20В</source>
        <translation>Voltage from 10V to 20V</translation>
    </message>
    <message>
        <source>Тест реле</source>
        <translation>Relay test</translation>
    </message>
    <message>
        <source>Базовое сопротивление от 50 до 150 Ом</source>
        <translation>Base resistance from 50 to 150 Ω</translation>
    </message>
    <message>
        <source>Отклонение сопротивления от 1 до 25 %</source>
        <translation>Resistance deviation from 1 to 25 %</translation>
    </message>
</context>
<context>
    <name>StationInfoTableModel</name>
    <message>
        <source>Канал</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>Версия ПО</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <source>Статус</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>готов</source>
        <translation>ready</translation>
    </message>
    <message>
        <source>ошибка</source>
        <translation>error</translation>
    </message>
</context>
<context>
    <name>StationLock</name>
    <message>
        <source>Станция %1 уже подключена к другой копии программы (процесс %2). Закройте её или отключите её от станции кнопкой «&lt;-&gt;».</source>
        <translation>Station %1 is already connected to another copy of the program (process %2). Close it or disconnect it from the station with “&lt;-&gt;”.</translation>
    </message>
    <message>
        <source>Не удалось создать файл блокировки станции %1.</source>
        <translation>Could not create the station lock file %1.</translation>
    </message>
</context>
<context>
    <name>StationSettingsTableModel</name>
    <message>
        <source>Вкл</source>
        <translation>On</translation>
    </message>
    <message>
        <source>Усил.</source>
        <translation>Gain</translation>
    </message>
</context>
<context>
    <name>StationValueBox</name>
    <message>
        <source>Станция сообщает %1: вне диапазона %2…%3</source>
        <translation>The station reports %1: outside %2…%3</translation>
    </message>
</context>
<context>
    <name>SurveyJobBuilder</name>
    <message>
        <source>Файл данных должен иметь расширение .etr: %1</source>
        <translation>The data file must have the extension .etr: %1</translation>
    </message>
    <message>
        <source>Файл данных %1 записал бы свою копию последовательности поверх исходного файла %2. Выберите другое имя файла данных.</source>
        <translation>Data file %1 would write its copy of the sequence over the original file %2. Choose another data file name.</translation>
    </message>
    <message>
        <source>Съёмка не начата: %1.</source>
        <translation>The survey was not started: %1.</translation>
    </message>
    <message>
        <source>%1 не является обычным файлом.</source>
        <translation>%1 is not a regular file.</translation>
    </message>
    <message>
        <source>Папка %1 недоступна для записи: файл данных %2 не может быть создан. Выберите другую папку.</source>
        <translation>Folder %1 cannot be written: data file %2 cannot be created. Choose another folder.</translation>
    </message>
    <message>
        <source>Не удалось создать файл данных %1: %2</source>
        <translation>Could not create data file %1: %2</translation>
    </message>
    <message>
        <source>Не удалось записать файл данных %1: %2</source>
        <translation>Could not write data file %1: %2</translation>
    </message>
    <message>
        <source>Не удалось записать файл последовательности %1.</source>
        <translation>Could not write sequence file %1.</translation>
    </message>
    <message>
        <source>Не удалось прочитать файл последовательности %1:
%2</source>
        <translation>Could not read sequence file %1:
%2</translation>
    </message>
    <message>
        <source>Файл данных %1 не найден.</source>
        <translation>Data file %1 not found.</translation>
    </message>
    <message>
        <source>%1 не является обычным файлом и не может быть продолжен.</source>
        <translation>%1 is not a regular file and cannot be continued.</translation>
    </message>
    <message>
        <source>Не удалось открыть файл данных %1: %2</source>
        <translation>Could not open data file %1: %2</translation>
    </message>
    <message>
        <source>Нет файла последовательности %1 рядом с файлом данных.</source>
        <translation>No sequence file %1 beside the data file.</translation>
    </message>
    <message>
        <source>Файл данных %1 не может быть продолжен: %2</source>
        <translation>Data file %1 cannot be continued: %2</translation>
    </message>
    <message>
        <source>Файл данных %1 повреждён после записи %2 и не может быть продолжен: %3.</source>
        <translation>Data file %1 is damaged after record %2 and cannot be continued: %3.</translation>
    </message>
    <message>
        <source>Файл данных %1 повреждён: в нём запись без токовых электродов (A = 0, B = 0), какой съёмка не пишет. Продолжение невозможно.</source>
        <translation>Data file %1 is damaged: it holds a record without current electrodes (A = 0, B = 0), which a survey never writes. It cannot be continued.</translation>
    </message>
    <message>
        <source>Файл данных %1 не может быть продолжен: %2.</source>
        <translation>Data file %1 cannot be continued: %2.</translation>
    </message>
    <message>
        <source>Все линии последовательности уже измерены</source>
        <translation>Every line of the sequence has been measured</translation>
    </message>
    <message>
        <source>Не удалось отрезать неполную последнюю запись файла %1: %2</source>
        <translation>Could not cut the incomplete last record of file %1: %2</translation>
    </message>
    <message>
        <source>Неполная последняя запись файла %1 (%2 байт) отрезана и сохранена в %3.</source>
        <translation>The incomplete last record of file %1 (%2 bytes) was cut and kept in %3.</translation>
    </message>
    <message>
        <source>Не удалось открыть файл данных %1 для продолжения.</source>
        <translation>Could not open data file %1 to continue it.</translation>
    </message>
</context>
<context>
    <name>SurveyReport</name>
    <message>
        <source>Отчёт о съёмке %1</source>
        <translation>Survey report %1</translation>
    </message>
    <message>
        <source>Съёмка остановлена до конца последовательности.</source>
        <translation>The survey was stopped before the end of the sequence.</translation>
    </message>
    <message>
        <source>Съёмка завершена.</source>
        <translation>The survey is complete.</translation>
    </message>
    <message>
        <source>Макс. разброс: %1 %, повторов не более %2</source>
        <translation>Max. scatter: %1 %, at most %2 repeats</translation>
    </message>
    <message>
        <source>Автоматические повторы выключены.</source>
        <translation>Automatic repeats are off.</translation>
    </message>
    <message>
        <source>Записей: %1</source>
        <translation>Records: %1</translation>
    </message>
    <message>
        <source>Повторов: %1</source>
        <translation>Repeats: %1</translation>
    </message>
    <message>
        <source>Выше предела: %1</source>
        <translation>Above the limit: %1</translation>
    </message>
    <message>
        <source>  A=%1 B=%2 M=%3 N=%4, канал %5: разброс %6 %</source>
        <translation>  A=%1 B=%2 M=%3 N=%4, channel %5: scatter %6 %</translation>
    </message>
    <message>
        <source>Каналы без данных: %1</source>
        <translation>Channels without data: %1</translation>
    </message>
    <message>
        <source>нет</source>
        <translation>none</translation>
    </message>
    <message>
        <source>Время съёмки: %1:%2:%3</source>
        <translation>Survey time: %1:%2:%3</translation>
    </message>
    <message>
        <source>Съёмка остановлена: батарея станции %1 В ниже предела %2 В.</source>
        <translation>Survey stopped: station battery %1 V below the limit of %2 V.</translation>
    </message>
    <message>
        <source>Батарея: %1 В в начале, %2 В в конце</source>
        <translation>Battery: %1 V at the start, %2 V at the end</translation>
    </message>
    <message>
        <source>Квадруполей измерено: %1 из %2</source>
        <translation>Quadrupoles measured: %1 of %2</translation>
    </message>
    <message>
        <source>  повторён A=%1 B=%2 M=%3 N=%4: разброс %5 %</source>
        <translation>  repeated A=%1 B=%2 M=%3 N=%4: scatter %5 %</translation>
    </message>
    <message>
        <source>Файл %1 не является отчётом о съёмке, отчёт записан в %2</source>
        <translation>File %1 is not a survey report, the report was written to %2</translation>
    </message>
    <message>
        <source>Файл %1 не является отчётом о съёмке.</source>
        <translation>File %1 is not a survey report.</translation>
    </message>
    <message>
        <source>Проверка контактов: предел %1 кОм, проверок: %2</source>
        <translation>Contact check: limit %1 kΩ, tests: %2</translation>
    </message>
    <message>
        <source>%1 (%2 кОм)</source>
        <translation>%1 (%2 kΩ)</translation>
    </message>
    <message>
        <source>Электроды выше предела: %1</source>
        <translation>Electrodes above the limit: %1</translation>
    </message>
    <message>
        <source>Выбор: без квадруполей с этими электродами (пропущено: %1)</source>
        <translation>Choice: without the quadrupoles of these electrodes (left out: %1)</translation>
    </message>
    <message>
        <source>Выбор: продолжить со всеми квадруполями</source>
        <translation>Choice: go on with all quadrupoles</translation>
    </message>
</context>
<context>
    <name>SurveyStrategy</name>
    <message>
        <source>Потеряна связь со станцией.</source>
        <translation>Connection to the station lost.</translation>
    </message>
    <message>
        <source>Станция не отвечает.</source>
        <translation>The station does not answer.</translation>
    </message>
</context>
<context>
    <name>TervexDevice</name>
    <message>
        <source>Станция %1 не отвечает</source>
        <translation>Station %1 does not answer</translation>
    </message>
    <message>
        <source>Станция %1 не подтвердила параметры записи</source>
        <translation>Station %1 did not confirm the record parameters</translation>
    </message>
    <message>
        <source>Адрес станции «%1» не является адресом IPv4</source>
        <translation>Station address “%1” is not an IPv4 address</translation>
    </message>
    <message>
        <source>Станция %1 недоступна: ни один сетевой интерфейс компьютера не находится в её подсети %2/24</source>
        <translation>Station %1 unreachable: no network interface of this computer is in its subnet %2/24</translation>
    </message>
    <message>
        <source>Станция %1 недоступна: не удалось занять локальный адрес %2 (%3)</source>
        <translation>Station %1 unreachable: could not bind the local address %2 (%3)</translation>
    </message>
    <message>
        <source>Станция %1 отклонила соединение</source>
        <translation>Station %1 refused the connection</translation>
    </message>
    <message>
        <source>Станция %1 недоступна: %2</source>
        <translation>Station %1 unreachable: %2</translation>
    </message>
    <message>
        <source>Связь со станцией %1 потеряна</source>
        <translation>Connection to station %1 lost</translation>
    </message>
    <message>
        <source>Связь со станцией %1 закрыта до начала записи</source>
        <translation>Station %1 closed the connection before the record started</translation>
    </message>
    <message>
        <source>Станция %1 прислала неполное описание (%2 байт)</source>
        <translation>Station %1 sent an incomplete description (%2 bytes)</translation>
    </message>
    <message>
        <source>Станция %1 подтвердила запись, которую нельзя сохранить: импульс %2 мс, пауза %3 мс, периодов %4</source>
        <translation>Station %1 confirmed a record that cannot be stored: pulse %2 ms, pause %3 ms, periods %4</translation>
    </message>
    <message>
        <source>Станция %1 подтвердила запись без отсчётов: импульс %2 мс, пауза %3 мс, периодов %4</source>
        <translation>Station %1 confirmed a record without samples: pulse %2 ms, pause %3 ms, periods %4</translation>
    </message>
    <message>
        <source>Станция %1 не открыла соединение данных</source>
        <translation>Station %1 did not open the data connection</translation>
    </message>
    <message>
        <source>Станция %1 передаёт больше отсчётов, чем в записи (%2 вместо %3)</source>
        <translation>Station %1 sends more samples than the record holds (%2 instead of %3)</translation>
    </message>
    <message>
        <source>Станция %1 закрыла соединение данных до конца записи (%2 отсчётов из %3)</source>
        <translation>Station %1 closed the data connection before the end of the record (%2 of %3 samples)</translation>
    </message>
</context>
<context>
    <name>TervexModel</name>
    <message>
        <source>Номер электрода должен быть от 1 до %1.</source>
        <translation>The electrode number must be from 1 to %1.</translation>
    </message>
    <message>
        <source>Нет результатов теста электродов: сначала выполните тест всех электродов.</source>
        <translation>No electrode test results: run the test of all electrodes first.</translation>
    </message>
    <message>
        <source>Нет электродов с сопротивлением выше %1 Ом.</source>
        <translation>No electrodes with resistance above %1 Ω.</translation>
    </message>
    <message>
        <source>Электроды Ca и Cb совпадают (%1): ток не потечёт через землю, сопротивление не может быть измерено. Выберите разные Ca и Cb.</source>
        <translation>Electrodes Ca and Cb are the same (%1): no current would flow through the ground, the resistance cannot be measured. Choose different Ca and Cb.</translation>
    </message>
    <message>
        <source>Нет готовых к работе каналов: съёмка не измерила бы ни одного потенциала.</source>
        <translation>No channels are ready: the survey would measure no potential.</translation>
    </message>
    <message>
        <source>Съёмку можно начать по файлу последовательности (.txt) или продолжить по файлу данных (.etr): %1</source>
        <translation>A survey starts from a sequence file (.txt) or continues from a data file (.etr): %1</translation>
    </message>
    <message>
        <source>«%1» не является адресом IPv4 (четыре числа от 0 до 255 через точку, например 192.168.0.100).</source>
        <translation>“%1” is not an IPv4 address (four numbers from 0 to 255 separated by dots, for example 192.168.0.100).</translation>
    </message>
    <message>
        <source>Порт %1 вне диапазона 1…65535.</source>
        <translation>Port %1 is outside 1…65535.</translation>
    </message>
    <message>
        <source>Порт команд и порт данных должны различаться.</source>
        <translation>The command port and the data port must differ.</translation>
    </message>
    <message>
        <source>Батарея станции %1 В ниже предела %2 В: съёмка не начата.</source>
        <translation>Station battery %1 V is below the limit of %2 V: the survey was not started.</translation>
    </message>
    <message>
        <source>Батарея станции разряжается: %1 В, ниже %2 В. Съёмка продолжается; при %3 В она будет остановлена.</source>
        <translation>The station battery is running down: %1 V, below %2 V. The survey goes on; at %3 V it will be stopped.</translation>
    </message>
    <message>
        <source>Батарея станции %1 В ниже предела %2 В: съёмка остановлена после текущей записи, записанные измерения сохранены.</source>
        <translation>Station battery %1 V is below the limit of %2 V: the survey was stopped after the record in progress; the recorded measurements are kept.</translation>
    </message>
    <message>
        <source>Все квадруполи съёмки используют электроды выше предела: съёмка не начата.</source>
        <translation>Every quadrupole of the survey uses an electrode above the limit: the survey was not started.</translation>
    </message>
</context>
<context>
    <name>TervexWidget</name>
    <message>
        <source>Тервекс-М1</source>
        <translation>Tervex-M1</translation>
    </message>
    <message>
        <source>СТАНЦИЯ</source>
        <translation>STATION</translation>
    </message>
    <message>
        <source>НАСТРОЙКА</source>
        <translation>SETUP</translation>
    </message>
    <message>
        <source>ЗАПИСЬ</source>
        <translation>RECORD</translation>
    </message>
    <message>
        <source>ГРАФИК</source>
        <translation>CHART</translation>
    </message>
    <message>
        <source>ТАБЛИЦА</source>
        <translation>TABLE</translation>
    </message>
    <message>
        <source>РАЗРЕЗ</source>
        <translation>SECTION</translation>
    </message>
    <message>
        <source>Параметры</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Обработка</source>
        <translation>Processing</translation>
    </message>
    <message>
        <source>Подключить</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>Серийный номер:</source>
        <translation>Serial number:</translation>
    </message>
    <message>
        <source>ПО адаптера:</source>
        <translation>Adapter firmware:</translation>
    </message>
    <message>
        <source>ПО генератора:</source>
        <translation>Transmitter firmware:</translation>
    </message>
    <message>
        <source>Координаты GPS:</source>
        <translation>GPS position:</translation>
    </message>
    <message>
        <source>Информация</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Измерители</source>
        <translation>Meters</translation>
    </message>
    <message>
        <source>АВТОМАТ</source>
        <translation>AUTO</translation>
    </message>
    <message>
        <source>ТЕСТ</source>
        <translation>TEST</translation>
    </message>
    <message>
        <source>ПРОБА</source>
        <translation>TRIAL</translation>
    </message>
    <message>
        <source>РЕЛЕ</source>
        <translation>RELAY</translation>
    </message>
    <message>
        <source>Работа</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Повтор</source>
        <translation>Repeat</translation>
    </message>
    <message>
        <source>След.</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>Пауза</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Файл данных: %1</source>
        <translation>Data file: %1</translation>
    </message>
    <message>
        <source>Не доступно</source>
        <translation>Not available</translation>
    </message>
    <message>
        <source>&lt;h2&gt;Внимание!&lt;/h2&gt;&lt;p&gt;Нет подключения к станции.&lt;/p&gt;</source>
        <translation>&lt;h2&gt;Attention!&lt;/h2&gt;&lt;p&gt;No connection to the station.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;h2&gt;Внимание!&lt;/h2&gt;&lt;p&gt;Нет подключения к станции: %1&lt;/p&gt;&lt;p&gt;%2&lt;/p&gt;</source>
        <translation>&lt;h2&gt;Attention!&lt;/h2&gt;&lt;p&gt;No connection to the station: %1&lt;/p&gt;&lt;p&gt;%2&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Выполняется подключение к станции...</source>
        <translation>Connecting to the station...</translation>
    </message>
    <message>
        <source>%1В</source>
        <translation>%1V</translation>
    </message>
    <message>
        <source>Идёт измерение</source>
        <translation>Measuring</translation>
    </message>
    <message>
        <source>Съёмка идёт, файл данных: %1</source>
        <translation>Survey running, data file: %1</translation>
    </message>
    <message>
        <source>Идёт тест электродов</source>
        <translation>Electrode test running</translation>
    </message>
    <message>
        <source>Идёт измерение. Прервать?</source>
        <translation>Measuring. Interrupt?</translation>
    </message>
    <message>
        <source>Съёмка завершена, файл данных: %1</source>
        <translation>Survey complete, data file: %1</translation>
    </message>
    <message>
        <source>Пробная запись завершена</source>
        <translation>Trial record complete</translation>
    </message>
    <message>
        <source>Съёмка остановлена; записанные измерения сохранены в %1</source>
        <translation>Survey stopped; the recorded measurements are saved in %1</translation>
    </message>
    <message>
        <source>Измерение остановлено</source>
        <translation>Measurement stopped</translation>
    </message>
    <message>
        <source>Тест завершён</source>
        <translation>Test complete</translation>
    </message>
    <message>
        <source>Тест завершён, отчёт: %1</source>
        <translation>Test complete, report: %1</translation>
    </message>
    <message>
        <source>Тест остановлен</source>
        <translation>Test stopped</translation>
    </message>
    <message>
        <source>&lt;h2&gt;Внимание!&lt;/h2&gt;&lt;p&gt;Измерение прервано: %1&lt;/p&gt;</source>
        <translation>&lt;h2&gt;Attention!&lt;/h2&gt;&lt;p&gt;Measurement interrupted: %1&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;Записанные измерения сохранены. Съёмку можно продолжить: выберите её файл данных (.etr) в режиме АВТОМАТ вместо файла последовательности.&lt;/p&gt;</source>
        <translation>&lt;p&gt;The recorded measurements are saved. The survey can be continued: choose its data file (.etr) in AUTO mode instead of the sequence file.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;Отчёт не записан: %1&lt;/p&gt;</source>
        <translation>&lt;p&gt;The report was not written: %1&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;Отчёт записан в %1&lt;/p&gt;</source>
        <translation>&lt;p&gt;Report written to %1&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Во весь экран / в окне</source>
        <translation>Full screen / window</translation>
    </message>
    <message>
        <source>Отключиться от станции</source>
        <translation>Disconnect from the station</translation>
    </message>
    <message>
        <source>Адрес станции, параметры тестов, язык интерфейса</source>
        <translation>Station address, test parameters, interface language</translation>
    </message>
    <message>
        <source>Просмотр и обработка файлов данных (.etr)</source>
        <translation>View and process data files (.etr)</translation>
    </message>
    <message>
        <source>Связь со станцией потеряна. Проверьте кабель и питание станции и нажмите «Подключить».</source>
        <translation>The link to the station was lost. Check the cable and the station’s power, then press “Connect”.</translation>
    </message>
    <message>
        <source>Адрес и порты станции задаются в окне «Параметры»; новый адрес действует со следующего нажатия «Подключить».</source>
        <translation>The station’s address and ports are set in the “Settings” dialog; a new address applies from the next “Connect”.</translation>
    </message>
    <message>
        <source>&lt;h2&gt;Внимание!&lt;/h2&gt;&lt;p&gt;%1&lt;/p&gt;&lt;p&gt;%2&lt;/p&gt;</source>
        <translation>&lt;h2&gt;Attention!&lt;/h2&gt;&lt;p&gt;%1&lt;/p&gt;&lt;p&gt;%2&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Ожидание ответа станции %1:%2…</source>
        <translation>Waiting for station %1:%2 to answer…</translation>
    </message>
    <message>
        <source>Пауза: запись завершена. Продолжить — «След.», пробел или отжать «Пауза»</source>
        <translation>Paused: record complete. Continue with “Next”, Space or by releasing “Pause”</translation>
    </message>
    <message>
        <source>Проверка контактов перед съёмкой, файл данных: %1</source>
        <translation>Checking the contacts before the survey, data file: %1</translation>
    </message>
    <message>
        <source>Съёмка не начата, файл данных не записан</source>
        <translation>Survey not started, no data file written</translation>
    </message>
    <message>
        <source>Повторная проверка контактов, файл данных: %1</source>
        <translation>Checking the contacts again, data file: %1</translation>
    </message>
    <message>
        <source>Проверка контактов остановлена, съёмка не начата</source>
        <translation>Contact check stopped, survey not started</translation>
    </message>
    <message>
        <source>ПСЕВДОРАЗРЕЗ</source>
        <translation>PSEUDOSECTION</translation>
    </message>
    <message>
        <source>МОДЕЛЬ</source>
        <translation>MODEL</translation>
    </message>
</context>
<context>
    <name>TestDataManager</name>
    <message>
        <source>Нет неисправных реле</source>
        <translation>No faulty relays</translation>
    </message>
    <message>
        <source>Тестовая нагрузка не подключена: все %1 пар показывают обрыв (выше 1 МОм). Подключите тестовую нагрузку и повторите тест.</source>
        <translation>The test load is not connected: all %1 pairs show an open circuit (above 1 MΩ). Connect the test load and repeat the test.</translation>
    </message>
    <message>
        <source>Вне допуска %1 пар из %2: проверьте тестовую нагрузку и её подключение, затем повторите тест. Неисправное реле по таким измерениям не определить.</source>
        <translation>%1 of %2 pairs out of tolerance: check the test load and its connection, then repeat the test. A faulty relay cannot be found from such measurements.</translation>
    </message>
    <message>
        <source>Неисправно реле</source>
        <translation>Faulty relay</translation>
    </message>
</context>
<context>
    <name>TestRecordPanel</name>
    <message>
        <source>ВСЕ</source>
        <translation>ALL</translation>
    </message>
    <message>
        <source>ЭЛЕКТРОД</source>
        <translation>ELECTRODE</translation>
    </message>
    <message>
        <source>ДИАПАЗОН</source>
        <translation>RANGE</translation>
    </message>
    <message>
        <source>Тестирование всех электродов</source>
        <translation>Testing all electrodes</translation>
    </message>
    <message>
        <source>&gt; 1кОм</source>
        <translation>&gt; 1kΩ</translation>
    </message>
    <message>
        <source>&gt; 3кОм</source>
        <translation>&gt; 3kΩ</translation>
    </message>
    <message>
        <source>&gt; 10кОм</source>
        <translation>&gt; 10kΩ</translation>
    </message>
    <message>
        <source>&gt; 50кОм</source>
        <translation>&gt; 50kΩ</translation>
    </message>
    <message>
        <source>Номер электрода:</source>
        <translation>Electrode number:</translation>
    </message>
    <message>
        <source>Выполнить</source>
        <translation>Execute</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>ViewerModelPage</name>
    <message>
        <source>Пересчитать</source>
        <translation>Recompute</translation>
    </message>
    <message>
        <source>Отменить</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Файлы линии…</source>
        <translation>Line files…</translation>
    </message>
    <message>
        <source>Добавить к модели другие файлы той же линии</source>
        <translation>Add other files of the same line to the model</translation>
    </message>
    <message>
        <source>Экспорт модели…</source>
        <translation>Export model…</translation>
    </message>
    <message>
        <source>Расчёт отменён</source>
        <translation>Computation cancelled</translation>
    </message>
    <message>
        <source>Не удалось открыть: %1</source>
        <translation>Could not open: %1</translation>
    </message>
    <message>
        <source>Файлы линии: %1</source>
        <translation>Line files: %1</translation>
    </message>
    <message>
        <source>Расчёт…</source>
        <translation>Computing…</translation>
    </message>
    <message>
        <source>Модель не построена: %1</source>
        <translation>No model: %1</translation>
    </message>
    <message>
        <source>модели ещё нет</source>
        <translation>there is no model yet</translation>
    </message>
    <message>
        <source>формат по расширению: .csv, .vtk, .png или .pdf</source>
        <translation>the format follows the suffix: .csv, .vtk, .png or .pdf</translation>
    </message>
    <message>
        <source>ошибка записи на диск</source>
        <translation>disk write error</translation>
    </message>
    <message>
        <source>Не удалось записать %1: %2</source>
        <translation>Could not write %1: %2</translation>
    </message>
    <message>
        <source>Модель записана в %1</source>
        <translation>Model written to %1</translation>
    </message>
    <message>
        <source>Экспорт модели</source>
        <translation>Export model</translation>
    </message>
    <message>
        <source>Модель (*.vtk *.csv);;Рисунок (*.png *.pdf)</source>
        <translation>Model (*.vtk *.csv);;Picture (*.png *.pdf)</translation>
    </message>
    <message>
        <source>Файлы линии</source>
        <translation>Line files</translation>
    </message>
    <message>
        <source>Данные Тервекс (*.etr)</source>
        <translation>Tervex data (*.etr)</translation>
    </message>
</context>
</TS>
