@echo off
rem A cmd.exe host's call of vss-handler, as the README's "Calling
rem vss-handler from a host" says, ready to copy:
rem
rem   query.bat COMMAND [OPTION...] FILE
rem
rem runs vss-handler.exe (found on the PATH) on the client output in FILE,
rem leaves its document in answer.xml in the current folder, and says what
rem the answer is: "result", "error" or "no query".
rem
rem FILE, and any word with blanks, stands in quotes: %* hands the words on
rem as they were typed.
vss-handler.exe %* > answer.xml
rem Exit status 1 means a result document. 0 means a failure (an error
rem document says what failed) or no query (nothing was written). Not "if
rem errorlevel 1": that holds for 1 and every status above it, such as 9009
rem when cmd.exe cannot find the program.
if %ERRORLEVEL% EQU 1 goto result
if %ERRORLEVEL% NEQ 0 goto noanswer
for %%A in (answer.xml) do if %%~zA EQU 0 goto noquery
echo error
goto :eof

:result
echo result
goto :eof

:noquery
echo no query
goto :eof

:noanswer
echo vss-handler.exe did not answer: status %ERRORLEVEL%
